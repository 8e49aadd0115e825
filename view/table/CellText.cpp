#include "view/table/CellText.h"

#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "document/Holdings.h"
#include "quotes/QuoteRecord.h"
#include "view/table/Sorting.h"

#include <QDateTime>

#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

QString DecimalAlign(QStringView text)
{
    const qsizetype point = text.lastIndexOf(u'.');
    if (point < 0)
        return text + "   "_L1;
    QStringView rest = text.mid(point);
    while (rest.size() > 1 && rest.back() == u'0')
        rest.chop(1);
    const QStringView before = text.left(point);
    if (rest.size() == 1)
        return before + "   "_L1;
    if (rest.size() == 2)
        return before + rest + u' ';
    return before + rest;
}

namespace {

// The price fields, shown aligned on the decimal point rather than as stored.
bool alignedOnPoint(int field)
{
    return field == 4 || field == 5 || field == 9 || field == 10 || field == 11;
}

} // namespace

bool IsPointAlignedField(int field)
{
    return alignedOnPoint(field) || field == FieldLoss;
}

bool IsNumericField(int field)
{
    switch (CompareRuleOf(field)) {
    case CompareRule::Real:
    case CompareRule::Integer:
    case CompareRule::Range:
    case CompareRule::Time:
    case CompareRule::Number:
        return true;
    default:
        return false;
    }
}

QStringView CellView(const QuoteRecord &record, int field, QString &scratch)
{
    const int slot = SlotOfField(field);
    if (slot >= 0 && !alignedOnPoint(field))
        return record.values[slot];
    scratch = CellText(record, field);
    return scratch;
}

QString CellText(const QuoteRecord &record, int field)
{
    switch (field) {
    case FieldCode:
        return record.code;
    case FieldPrice:
    case FieldDifference:
    case FieldOpen:
    case FieldHigh:
    case FieldLow: // prices: aligned on the point
        return DecimalAlign(record.values[SlotOfField(field)]);
    case FieldDatetime:
        return FormatLocalTime(record.datetime, true);
    case FieldLoss: // aligned on the point like the prices
        return record.has_holdings ? DecimalAlign(HoldingCellText(record, field)) : QString();
    case FieldBuyday:
    case FieldAmount:
    case FieldShares:
    case FieldMemo:
        return HoldingCellText(record, field);
    default: {
        const int slot = SlotOfField(field);
        return slot >= 0 ? record.values[slot].toString() : QString();
    }
    }
}

ProfitSum SumProfit(const std::vector<const QuoteRecord *> &records)
{
    ProfitSum sum;
    for (const QuoteRecord *r : records) {
        ++sum.rows;
        if (r->has_holdings)
            sum.sum += r->loss;
    }
    return sum;
}

QString SumOfProfitText(const ProfitSum &sum)
{
    return tessera::FormatResourceString(
        2036, { GroupedNumber(static_cast<double>(sum.rows)), GroupedNumber(sum.sum, false, true) });
}
