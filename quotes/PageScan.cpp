#include "quotes/PageScan.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// How unlikely a character is in HTML and JSON text, for picking the characters of a marker
// that the search tests first: punctuation and white space are everywhere, capitals and
// non-ASCII characters (as in the Japanese titles of the page's entries) are rare.
int rarity(char16_t c)
{
    if (c >= 0x80 || (c >= u'A' && c <= u'Z'))
        return 3;
    if (c >= u'a' && c <= u'z')
        return QStringView(u"etaoinsrhldcu").contains(QChar(c)) ? 1 : 2;
    if (c >= u'0' && c <= u'9')
        return 1;
    return 0;
}

// First occurrence of `needle` in `text` at or after `from` (0 <= from <= size), or -1.
// Qt's search skips through the page with a table of low bytes, which is slow on pages full
// of the quotes, backslashes and letters that the markers also consist of. This one tests
// two rare characters of the marker in eight places at once and compares the whole marker
// only where both match: the page-level cuts scan most of a page of a megabyte or more.
qsizetype find(QStringView text, qsizetype from, QStringView needle)
{
    const qsizetype m = needle.size();
    const qsizetype n = text.size();
#if defined(__SSE2__)
    if (m >= 2 && n - from >= 64) {
        qsizetype a = 0;
        for (qsizetype k = 0; k < m; ++k) {
            if (rarity(needle[k].unicode()) > rarity(needle[a].unicode()))
                a = k;
        }
        qsizetype b = a == m - 1 ? 0 : m - 1;
        for (qsizetype k = 0; k < m; ++k) {
            if (k != a && rarity(needle[k].unicode()) > rarity(needle[b].unicode()))
                b = k;
        }
        const char16_t *h = text.utf16();
        const char16_t *w = needle.utf16();
        const __m128i first = _mm_set1_epi16(static_cast<short>(w[a]));
        const __m128i second = _mm_set1_epi16(static_cast<short>(w[b]));
        const size_t bytes = static_cast<size_t>(m) * sizeof(char16_t);
        qsizetype i = from;
        // Each round tests the eight start positions i..i+7, all of which leave room for
        // the whole marker.
        for (; i + 7 <= n - m; i += 8) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i + a));
            const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i + b));
            unsigned mask = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(x, first), _mm_cmpeq_epi16(y, second))));
            while (mask != 0) {
                const qsizetype lane = std::countr_zero(mask) / 2;
                if (std::memcmp(h + i + lane, w, bytes) == 0)
                    return i + lane;
                mask &= ~(3u << (lane * 2));
            }
        }
        for (; i <= n - m; ++i) {
            if (h[i + a] == w[a] && std::memcmp(h + i, w, bytes) == 0)
                return i;
        }
        return -1;
    }
#endif
    return text.indexOf(needle, from);
}

// Locates the text between the markers; false leaves `from`/`to` unspecified.
bool locate(
    QStringView text, qsizetype position, QStringView start, QStringView end, qsizetype &from, qsizetype &to)
{
    // QStringView::indexOf counts a negative start from the end: every negative position is
    // "none" here.
    if (position < 0 || position > text.size())
        return false;
    const qsizetype s = find(text, position, start);
    if (s < 0)
        return false;
    from = s + start.size();
    to = find(text, from, end);
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

qsizetype Find(QStringView text, qsizetype position, QStringView marker)
{
    if (position < 0 || position > text.size())
        return kNoPos;
    const qsizetype at = find(text, position, marker);
    return at < 0 ? kNoPos : at;
}

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
