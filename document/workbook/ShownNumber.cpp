#include "document/workbook/ShownNumber.h"

#include "document/workbook/TypedInput.h"

#include <array>
#include <cmath>

namespace {

struct Builtin {
    int id;
    const char16_t *code;
};

// The built-in formats as a Japanese spreadsheet shows them.
constexpr std::array<Builtin, 27> kBuiltins = { {
    { 1, u"0" },
    { 2, u"0.00" },
    { 3, u"#,##0" },
    { 4, u"#,##0.00" },
    { 9, u"0%" },
    { 10, u"0.00%" },
    { 11, u"0.00E+00" },
    { 14, u"yyyy/m/d" },
    { 15, u"d-mmm-yy" },
    { 16, u"d-mmm" },
    { 17, u"mmm-yy" },
    { 18, u"h:mm AM/PM" },
    { 19, u"h:mm:ss AM/PM" },
    { 20, u"h:mm" },
    { 21, u"h:mm:ss" },
    { 22, u"yyyy/m/d h:mm" },
    { 37, u"#,##0 ;(#,##0)" },
    { 38, u"#,##0 ;[Red](#,##0)" },
    { 39, u"#,##0.00;(#,##0.00)" },
    { 40, u"#,##0.00;[Red](#,##0.00)" },
    { 45, u"mm:ss" },
    { 46, u"[h]:mm:ss" },
    { 47, u"mmss.0" },
    { 48, u"##0.0E+0" },
    { 56, u"yyyy\"年\"m\"月\"d\"日\"" },
    { 57, u"yyyy\"年\"m\"月\"" },
    { 58, u"m\"月\"d\"日\"" },
} };

// What the first section of a format code shows.
struct FormatShape {
    bool general = false;
    bool percent = false;
    bool date = false; // year, month or day
    bool time = false; // hours or seconds
    bool seconds = false;
    bool grouped = false;
    bool scientific = false;
    int decimals = 0;
};

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#' || c == u'?';
}

FormatShape shapeOf(QStringView code)
{
    FormatShape shape;
    const QStringView trimmed = code.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(u"General", Qt::CaseInsensitive) == 0 || trimmed == u"@") {
        shape.general = true;
        return shape;
    }
    bool afterPoint = false;
    bool placeholderSeen = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u';')
            break;
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            i = close < 0 ? code.size() : close;
            continue;
        }
        if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown, padded or repeated, not read
            continue;
        }
        if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i + 1);
            const QStringView inside = code.sliced(i + 1, (close < 0 ? code.size() : close) - i - 1);
            // Elapsed time ([h], [mm], [ss]) counts as time; colours and conditions do not.
            if (!inside.isEmpty() && inside.front().toLower() == inside.back().toLower()
                && (inside.front().toLower() == u'h' || inside.front().toLower() == u's'
                    || inside.front().toLower() == u'm')) {
                shape.time = true;
                shape.seconds = shape.seconds || inside.front().toLower() == u's';
            }
            i = close < 0 ? code.size() : close;
            continue;
        }
        if (code.sliced(i).startsWith(u"AM/PM", Qt::CaseInsensitive)) {
            i += 4;
            continue;
        }
        if (code.sliced(i).startsWith(u"A/P", Qt::CaseInsensitive)) {
            i += 2;
            continue;
        }
        const QChar lower = c.toLower();
        if ((lower == u'e') && i + 1 < code.size() && (code[i + 1] == u'+' || code[i + 1] == u'-')) {
            ++i; // an exponent
            shape.scientific = true;
            afterPoint = true; // exponent digits are no decimals
            continue;
        }
        if (lower == u'y' || lower == u'm' || lower == u'd' || lower == u'g' || lower == u'e') {
            shape.date = true;
        } else if (lower == u'h') {
            shape.time = true;
        } else if (lower == u's') {
            shape.time = true;
            shape.seconds = true;
        } else if (c == u'%') {
            shape.percent = true;
        } else if (c == u'.') {
            afterPoint = true;
        } else if (isPlaceholder(c)) {
            if (afterPoint && !shape.scientific)
                ++shape.decimals;
            placeholderSeen = true;
        } else if (c == u',' && placeholderSeen && !afterPoint && i + 1 < code.size()
            && isPlaceholder(code[i + 1])) {
            shape.grouped = true;
        }
    }
    // "mm" after hours or before seconds is minutes; a format of minutes and seconds alone
    // is a time, not a date.
    if (shape.time && shape.date) {
        bool realDate = false;
        for (QChar c : code) {
            if (c == u';')
                break;
            const QChar lower = c.toLower();
            realDate = realDate || lower == u'y' || lower == u'd' || lower == u'g';
        }
        shape.date = realDate;
    }
    return shape;
}

QString fixedText(double value, int decimals, bool grouped)
{
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    bool zero = true;
    for (QChar c : digits)
        zero = zero && (c == u'0' || c == u'.');
    if (grouped) {
        qsizetype point = digits.indexOf(u'.');
        if (point < 0)
            point = digits.size();
        for (qsizetype at = point - 3; at > 0; at -= 3)
            digits.insert(at, u',');
    }
    return (value < 0 && !zero ? QStringLiteral("-") : QString()) + digits;
}

QString dateText(double value, const FormatShape &shape, bool date1904)
{
    std::optional<QDate> day = DateOfSerial(value, date1904);
    if (shape.date && !day)
        return {};
    qint64 seconds = std::llround((value - std::floor(value)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        if (day)
            day = day->addDays(1);
    }
    QString text;
    if (shape.date)
        text = QStringLiteral("%1/%2/%3").arg(day->year()).arg(day->month()).arg(day->day());
    if (shape.time) {
        if (!text.isEmpty())
            text += u' ';
        text += QStringLiteral("%1:%2").arg(seconds / 3600).arg((seconds / 60) % 60, 2, 10, QChar(u'0'));
        if (shape.seconds)
            text += QStringLiteral(":%1").arg(seconds % 60, 2, 10, QChar(u'0'));
    }
    return text;
}

} // namespace

QString BuiltinNumberFormat(int id)
{
    for (const Builtin &b : kBuiltins) {
        if (b.id == id)
            return QString::fromUtf16(b.code);
    }
    return {};
}

bool IsPercentFormat(QStringView code)
{
    return shapeOf(code).percent;
}

QString ShownNumberText(double value, QStringView code, bool date1904)
{
    if (!std::isfinite(value))
        return {};
    const FormatShape shape = shapeOf(code);
    if (!shape.general && (shape.date || shape.time)) {
        QString text = dateText(value, shape, date1904);
        if (!text.isEmpty())
            return text;
    }
    if (!shape.general && shape.scientific)
        return QString::number(value, 'E', shape.decimals);
    if (!shape.general && shape.percent)
        return fixedText(value * 100, shape.decimals, shape.grouped) + u'%';
    if (!shape.general && !shape.date && !shape.time)
        return fixedText(value, shape.decimals, shape.grouped);
    return QString::number(value, 'g', 15);
}
