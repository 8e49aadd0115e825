#pragma once

#include <QString>

#include <vector>

struct QuoteRecord;

// Grouped number: v with two decimals, a comma between groups of three integer digits, the
// decimals dropped when they are "00" and trimmed of trailing zeros otherwise (all kept with
// `keepDecimals`), and "-" in front of a negative value or, with `showPlus`, "+" in front of a
// positive one. The sign follows the value as shown, so -0.001 gives "0".
// 1234567 -> "1,234,567", 1234.5 -> "1,234.5", 0.25 -> "0.25", -1234 -> "-1,234",
// 1500 with showPlus -> "+1,500".
QString GroupedNumber(double v, bool keepDecimals = false, bool showPlus = false);

// Decimal alignment for right-aligned columns: the fraction part becomes exactly three
// characters (point and two places, padded with spaces), after trailing zeros are removed.
// "1,234.50" -> "1,234.5 ", "1,234.00" -> "1,234   ", "2,500" -> "2,500   ".
QString DecimalAlign(QStringView text);

// Seconds since 1970 in local time as "yyyy/MM/dd HH:mm", or "yyyy/MM/dd" without the time.
QString FormatLocalTime(qint64 secs, bool withTime);

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
