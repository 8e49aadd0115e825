#include "quotes/PageScan.h"

namespace {

// Locates the text between the markers; false leaves `from`/`to` unspecified.
bool locate(
    QStringView text, qsizetype position, QStringView start, QStringView end, qsizetype &from, qsizetype &to)
{
    // QStringView::indexOf counts a negative start from the end: every negative position is
    // "none" here.
    if (position < 0 || position > text.size())
        return false;
    const qsizetype s = text.indexOf(start, position);
    if (s < 0)
        return false;
    from = s + start.size();
    to = text.indexOf(end, from);
    return to >= 0;
}

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

int hexValue(char16_t c)
{
    if (c <= u'9')
        return c - u'0';
    return (c | 0x20) - u'a' + 10;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

qsizetype Cut(QString &destination, QStringView text, qsizetype position, QStringView start, QStringView end)
{
    qsizetype from = 0;
    qsizetype to = 0;
    if (!locate(text, position, start, end, from, to))
        return kNoPos;
    destination = text.sliced(from, to - from).toString();
    return to + end.size();
}

qsizetype CutSection(
    QStringView &section, QStringView text, qsizetype position, QStringView start, QStringView end)
{
    qsizetype from = 0;
    qsizetype to = 0;
    if (!locate(text, position, start, end, from, to))
        return kNoPos;
    section = text.sliced(from, to - from);
    return to + end.size();
}

void AddPlusSign(QString &text)
{
    // The leading number is read as the C library reads a floating-point number (leading
    // white space skipped); it is greater than 0 exactly when its mantissa has a non-zero
    // digit and no minus sign. A text that already starts with a sign keeps it alone.
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    if (i == n || text[i] == u'+' || text[i] == u'-')
        return;
    bool digits = false;
    bool nonZero = false;
    auto scanDigits = [&] {
        for (; i < n && isDigit(text[i]); ++i) {
            digits = true;
            nonZero = nonZero || text[i] != u'0';
        }
    };
    scanDigits();
    if (i < n && text[i] == u'.') {
        ++i;
        scanDigits();
    }
    const bool infinite = !digits && QStringView(text).sliced(i).startsWith(u"inf", Qt::CaseInsensitive);
    if (nonZero || infinite)
        text.prepend(u'+');
}

QString UnescapeUnicode(QStringView text)
{
    QString out;
    qsizetype copied = 0; // text before this index is already in `out`
    qsizetype pos = 0;
    while (true) {
        const qsizetype at = text.indexOf(u"\\u", pos);
        if (at < 0)
            break;
        const qsizetype digitsAt = at + 2;
        if (text.size() - digitsAt < 4 || !isHexDigit(text[digitsAt].unicode())) {
            pos = at + 2;
            continue;
        }
        int value = 0;
        for (qsizetype k = digitsAt; k < digitsAt + 4 && isHexDigit(text[k].unicode()); ++k)
            value = value * 16 + hexValue(text[k].unicode());
        if (out.isEmpty())
            out.reserve(text.size());
        out.append(text.sliced(copied, at - copied));
        out.append(QChar(char16_t(value)));
        copied = digitsAt + 4;
        pos = copied;
    }
    if (copied == 0)
        return text.toString();
    out.append(text.sliced(copied));
    return out;
}
