#pragma once

#include "corelib/NumberText.h"

#include <QString>

#include <vector>

struct QuoteRecord;

// Grouped numbers and local times are the utility library's (corelib/NumberText.h).
using tessera::FormatLocalTime;
using tessera::GroupedNumber;

// Decimal alignment for right-aligned columns: the fraction part becomes exactly three
// characters (point and two places, padded with spaces), after trailing zeros are removed.
// "1,234.50" -> "1,234.5 ", "1,234.00" -> "1,234   ", "2,500" -> "2,500   ".
QString DecimalAlign(QStringView text);

// True for the fields whose display text DecimalAlign makes: the five prices and the profit.
bool IsPointAlignedField(int field);
// True for the fields whose display text is a number, a date or a time (those the sort reads
// as numbers): a cell of theirs is never shown cut, since a cut number reads as another one.
bool IsNumericField(int field);

// The display text of field 0..39 for a record, as the list shows it: prices aligned on the
// point, the two times in local time, holding figures grouped, holding fields empty without
// holdings. Unknown field numbers give an empty text.
QString CellText(const QuoteRecord &record, int field);
// The same as a view: into the record where the display text is the stored text, else into
// `scratch`.
QStringView CellView(const QuoteRecord &record, int field, QString &scratch);

// The rows counted and the profit summed over those with holdings.
struct ProfitSum {
    qint64 rows = 0;
    double sum = 0;
};
ProfitSum SumProfit(const std::vector<const QuoteRecord *> &records);
// The sum-of-profit message: text 2036 with the row count and the signed sum, both grouped.
QString SumOfProfitText(const ProfitSum &sum);
