#pragma once

#include "corelib/Result.h"
#include "document/workbook/CodeMap.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// How the records of one code are laid out on its sheet.
enum class CompareArrangement : int {
    Across = 0, // one row per record, the titles along row 3
    Down = 1, // one column per record, the titles down column A
};

inline constexpr int kCompareMaxRecordsDown = 100; // records a column-wise sheet takes

struct CompareOptions {
    std::vector<CompareColumn> columns; // the exported columns in display order
    // The title of A3 when `columns` does not show the update time.
    QString datetimeTitle;
    QStringList selectedCodes; // empty: every code of the map
    CompareArrangement arrangement = CompareArrangement::Across;
    // After each sheet; returning false stops the writing (WorkbookErrorStopped) and
    // leaves the target as it was.
    std::function<bool(int sheetsDone, int sheets)> progress;
};

// The comparison workbook: one sheet per selected code, in code order, named after the
// name of its oldest record (a valid sheet name, made unique). Row 1 is empty; A2 holds the
// name with a link to the code's quote page; A3 the update-time title; the other titles
// (without code, name, market, status, purchase day and memo) go along row 3 or down
// column A, and each record fills one row or one column with its cells as the table export
// types them, each field's block in the field's number format. Fewer than 2 columns fail
// with WorkbookErrorTooFewColumns (2228), more than 100 records of a selected code in the
// column-wise arrangement with WorkbookErrorTooManyValues (2227); nothing is written then.
// The file is replaced only when complete.
tessera::Status WriteComparisonWorkbook(
    const QString &path, const CodeMap &map, const CompareOptions &options);
