#include "view/table/CellText.h"

#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "quotes/QuoteRecord.h"

#include <QDateTime>

#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

QString GroupedNumber(double v, bool keepDecimals, bool showPlus)
{
    if (!std::isfinite(v))
        return QString::number(v);
    // 309 integer digits at most, a sign, the point and two decimals; to_chars writes "."
    // whatever the process locale (printf's "%.2f" would write "," under de_DE).
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 2);
    const auto n = end - buffer;
    if (ec != std::errc() || n <= 3)
        return QString::number(v);
    const std::string_view text(buffer, static_cast<size_t>(n));
    const bool minus = text.front() == '-';
    const std::string_view digits = text.substr(minus ? 1 : 0, text.size() - (minus ? 1 : 0) - 3);
    std::string_view decimals = text.substr(text.size() - 2);
    const bool zero = digits.find_first_not_of('0') == std::string_view::npos && decimals == "00";

    QString out;
    if (minus && !zero)
        out += u'-';
    else if (showPlus && !zero)
        out += u'+';
    tessera::AppendGroupedDigits(
        out, QLatin1StringView(digits.data(), static_cast<qsizetype>(digits.size())));
    if (!keepDecimals) {
        while (!decimals.empty() && decimals.back() == '0')
            decimals.remove_suffix(1);
    }
    if (!decimals.empty()) {
        out += u'.';
        out += QLatin1StringView(decimals.data(), static_cast<qsizetype>(decimals.size()));
    }
    return out;
}

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

QString FormatLocalTime(qint64 secs, bool withTime)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(secs);
    return time.toString(withTime ? u"yyyy/MM/dd HH:mm"_s : u"yyyy/MM/dd"_s);
}

namespace {

// The price fields, shown aligned on the decimal point rather than as stored.
bool alignedOnPoint(int field)
{
    return field == 4 || field == 5 || field == 9 || field == 10 || field == 11;
}

} // namespace

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
    case FieldBuyday:
    case FieldAmount:
    case FieldShares:
    case FieldLoss:
    case FieldMemo:
        if (!record.has_holdings)
            return {};
        switch (field) {
        case FieldBuyday:
            return FormatLocalTime(record.buyday, false);
        case FieldAmount:
            return GroupedNumber(record.amount);
        case FieldShares:
            return GroupedNumber(record.shares);
        case FieldLoss:
            return DecimalAlign(GroupedNumber(record.loss, false, true));
        default:
            return record.memo;
        }
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
