#include "history/HistoryPoint.h"

#include "corelib/NumberReading.h"
#include "quotes/SecurityCode.h"

#include <cmath>

using namespace Qt::StringLiterals;

std::optional<double> HistoryNumber(QStringView text)
{
    QStringView rest = text.trimmed();
    // The parsers put "STOP " in front of a high or low at the day's price limit.
    if (rest.startsWith(u"STOP"_s))
        rest = rest.mid(4);
    const std::optional<double> value = tessera::TryReadLeadingReal(rest, true);
    // An exponent too large for a double reads as infinite: no value a chart can draw.
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<HistoryPoint> PointOfRecord(const QuoteRecord &record)
{
    if (record.values[SlotStatus].contains(u"ERROR"_s))
        return std::nullopt;
    HistoryPoint point;
    point.code = record.code;
    point.time = record.datetime;
    point.pageKind = static_cast<int>(ClassifyCode(record.code));
    for (int i = 0; i < kHistoryValueCount; ++i)
        point.values[static_cast<size_t>(i)] = HistoryNumber(record.values[kHistoryColumns[i].slot]);
    if (!point.values[HistoryPrice])
        return std::nullopt;
    return point;
}
