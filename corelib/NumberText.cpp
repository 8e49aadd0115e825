#include "corelib/NumberText.h"

#include "corelib/EditString.h"

#include <QDateTime>

#include <charconv>
#include <cmath>
#include <string_view>

using namespace Qt::StringLiterals;

namespace tessera {

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
    AppendGroupedDigits(out, QLatin1StringView(digits.data(), static_cast<qsizetype>(digits.size())));
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

QString FormatLocalTime(qint64 secs, bool withTime)
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(secs);
    return time.toString(withTime ? u"yyyy/MM/dd HH:mm"_s : u"yyyy/MM/dd"_s);
}

} // namespace tessera
