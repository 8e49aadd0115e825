#pragma once

#include "view/table/CellColors.h"

#include <QString>

#include <vector>

struct QuoteRecord;

// The small marks drawn at the left of a row's code cell, so that a row's state shows where
// the eye reads the row. Each kind has one entry in a static table (its test and colour);
// the marks of a row are drawn side by side in table order.
enum class RowMark : int {
    Failed, // the last update of the row failed: its status reads "ERROR:..."
    Alert, // a price alert of the row's code has fired and still holds
};

// What a mark may look at besides the record: the state the list keeps elsewhere.
struct RowMarkContext {
    bool alertFired = false;
};

struct RowMarkDef {
    RowMark mark;
    bool (*applies)(const QuoteRecord &record, const RowMarkContext &context);
};

// Every kind of mark, in drawing order.
const std::vector<RowMarkDef> &RowMarkTable();

// True when the row's last update failed: the status text begins with "ERROR".
bool IsFailedRow(const QuoteRecord &record);

// The marks that `record` carries, in drawing order.
std::vector<RowMark> RowMarksOf(const QuoteRecord &record, const RowMarkContext &context = {});

// The colour a mark is drawn in on a cell of background `back`: a failed row's mark takes
// the list's error colour, the red of an error status (its light variant on a dark cell); an
// alert's bell is amber.
ColorRef RowMarkColor(RowMark mark, ColorRef back);
