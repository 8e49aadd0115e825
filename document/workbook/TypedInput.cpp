#include "document/workbook/TypedInput.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// The digits of the integer part: plain, or comma groups of three after a first group of
// one to three digits. Appends them to `ascii`; returns the characters read, or -1.
qsizetype readIntegerPart(QStringView text, std::string &ascii)
{
    qsizetype i = 0;
    while (i < text.size() && isDigit(text[i]))
        ascii.push_back(static_cast<char>(text[i++].unicode()));
    if (i == 0 || i >= text.size() || text[i] != u',')
        return i;
    if (i > 3)
        return -1;
    while (i < text.size() && text[i] == u',') {
        for (qsizetype k = 1; k <= 3; ++k) {
            if (i + k >= text.size() || !isDigit(text[i + k]))
                return -1;
            ascii.push_back(static_cast<char>(text[i + k].unicode()));
        }
        i += 4;
        if (i < text.size() && isDigit(text[i]))
            return -1; // a fourth digit in a group
    }
    return i;
}

std::optional<double> parseNumber(QStringView text, bool &percentOut)
{
    std::string ascii;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            ascii.push_back('-');
        ++i;
    }
    const qsizetype integer = readIntegerPart(text.sliced(i), ascii);
    if (integer < 0)
        return std::nullopt;
    i += integer;
    qsizetype fraction = 0;
    if (i < text.size() && text[i] == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ascii.push_back(static_cast<char>(text[i++].unicode()));
            ++fraction;
        }
    }
    if (integer == 0 && fraction == 0)
        return std::nullopt;
    bool percent = false;
    if (i < text.size() && text[i] == u'%') {
        percent = true;
        ++i;
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const char *begin = ascii.data();
    const char *end = begin + ascii.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    percentOut = percent;
    return percent ? value / 100 : value;
}

// 1 to `maxDigits` digits at `i`; advances `i`.
std::optional<int> readField(QStringView text, qsizetype &i, int minDigits, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (i < text.size() && isDigit(text[i]) && digits < maxDigits) {
        value = value * 10 + (text[i++].unicode() - u'0');
        ++digits;
    }
    if (digits < minDigits || (i < text.size() && isDigit(text[i])))
        return std::nullopt;
    return value;
}

std::optional<double> parseDate(QStringView text, bool &withTime)
{
    qsizetype i = 0;
    const std::optional<int> year = readField(text, i, 4, 4);
    if (!year || i >= text.size() || text[i++] != u'/')
        return std::nullopt;
    const std::optional<int> month = readField(text, i, 1, 2);
    if (!month || i >= text.size() || text[i++] != u'/')
        return std::nullopt;
    const std::optional<int> day = readField(text, i, 1, 2);
    if (!day)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    if (!date.isValid())
        return std::nullopt;
    std::optional<double> serial = DateSerial1900(date);
    if (!serial || i == text.size())
        return serial;
    if (text[i++] != u' ')
        return std::nullopt;
    const std::optional<int> hour = readField(text, i, 1, 2);
    if (!hour || *hour > 23 || i >= text.size() || text[i++] != u':')
        return std::nullopt;
    const std::optional<int> minute = readField(text, i, 2, 2);
    if (!minute || *minute > 59 || i != text.size())
        return std::nullopt;
    withTime = true;
    return *serial + (*hour * 60 + *minute) / 1440.0;
}

constexpr qint64 kJulianDay18991230 = 2415019; // QDate(1899, 12, 30).toJulianDay()
constexpr qint64 kJulianDay19000301 = 2415080;

} // namespace

std::optional<double> DateSerial1900(QDate date)
{
    if (!date.isValid() || date.year() < 1900 || date.year() > 9999)
        return std::nullopt;
    const qint64 jd = date.toJulianDay();
    // The 1900 system counts a 29 February 1900, so earlier days sit one lower.
    const qint64 serial = jd - kJulianDay18991230 - (jd < kJulianDay19000301 ? 1 : 0);
    return static_cast<double>(serial);
}

std::optional<QDate> DateOfSerial(double serial, bool date1904)
{
    if (!std::isfinite(serial))
        return std::nullopt;
    double days = std::floor(serial);
    if (date1904)
        days += 1462;
    if (days < 1 || days > 2958465) // 1900-01-01 .. 9999-12-31
        return std::nullopt;
    const auto whole = static_cast<qint64>(days);
    if (whole == 60)
        return std::nullopt; // the 29 February 1900 that never was
    const qint64 jd = whole + kJulianDay18991230 + (whole < 60 ? 1 : 0);
    return QDate::fromJulianDay(jd);
}

TypedInput ParseTypedInput(QStringView text)
{
    text = trimBlanks(text);
    if (text.isEmpty())
        return {};
    TypedInput typed;
    if (std::optional<double> number = parseNumber(text, typed.percent)) {
        typed.kind = TypedInput::Number;
        typed.number = *number;
        return typed;
    }
    if (std::optional<double> serial = parseDate(text, typed.withTime)) {
        typed.kind = TypedInput::DateTime;
        typed.number = *serial;
        return typed;
    }
    typed.kind = TypedInput::Text;
    return typed;
}
