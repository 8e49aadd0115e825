#include "corelib/engines/JreFold.h"

#include "corelib/engines/JreInterface.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <numeric>

namespace jre {
namespace {

constexpr char16_t kSpacingVoiced = 0x309B;
constexpr char16_t kSpacingSemiVoiced = 0x309C;
constexpr char16_t kCombiningVoiced = 0x3099;
constexpr char16_t kCombiningSemiVoiced = 0x309A;

const icu::Normalizer2 *nfkc()
{
    static const icu::Normalizer2 *instance = [] {
        UErrorCode error = U_ZERO_ERROR;
        const icu::Normalizer2 *n = icu::Normalizer2::getNFKCInstance(error);
        return U_SUCCESS(error) ? n : nullptr;
    }();
    return instance;
}

bool isAscii(std::u16string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

void identity(std::u16string_view source, FoldedText &out)
{
    out.text.assign(source);
    out.origin.resize(source.size() + 1);
    std::iota(out.origin.begin(), out.origin.end(), 0);
}

// Width: NFKC, segment by segment between normalization boundaries, each segment's output
// mapped to the segment (one to one when the length is kept, else to its start).
void foldWidth(std::u16string_view source, FoldedText &out)
{
    const icu::Normalizer2 *n = nfkc();
    std::u16string pre(source);
    for (char16_t &c : pre) {
        if (c == kSpacingVoiced)
            c = kCombiningVoiced;
        else if (c == kSpacingSemiVoiced)
            c = kCombiningSemiVoiced;
    }
    const auto length = static_cast<int32_t>(pre.size());
    if (!n) {
        identity(pre, out);
        return;
    }
    UErrorCode error = U_ZERO_ERROR;
    const icu::UnicodeString whole(false, pre.data(), length);
    int32_t i = n->spanQuickCheckYes(whole, error);
    if (U_FAILURE(error))
        i = 0;
    out.text.assign(pre, 0, static_cast<size_t>(i));
    out.origin.resize(static_cast<size_t>(i));
    std::iota(out.origin.begin(), out.origin.end(), 0);
    while (i < length) {
        int32_t j = i;
        UChar32 c = 0;
        U16_NEXT(pre.data(), j, length, c);
        while (j < length) {
            int32_t k = j;
            U16_NEXT(pre.data(), k, length, c);
            if (n->hasBoundaryBefore(c))
                break;
            j = k;
        }
        const icu::UnicodeString segment(false, pre.data() + i, j - i);
        error = U_ZERO_ERROR;
        const icu::UnicodeString normal = n->normalize(segment, error);
        if (U_FAILURE(error) || normal == segment) {
            out.text.append(pre, static_cast<size_t>(i), static_cast<size_t>(j - i));
            for (int32_t k = i; k < j; ++k)
                out.origin.push_back(k);
        } else {
            out.text.append(
                reinterpret_cast<const char16_t *>(normal.getBuffer()), static_cast<size_t>(normal.length()));
            const bool sameLength = normal.length() == j - i;
            for (int32_t k = 0; k < normal.length(); ++k)
                out.origin.push_back(sameLength ? i + k : i);
        }
        i = j;
    }
    out.origin.push_back(length);
}

// Hiragana to katakana, one unit for one: ぁ..ゖ to ァ..ヶ and the iteration marks ゝゞ to ヽヾ.
void foldKana(std::u16string &text)
{
    for (char16_t &c : text) {
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E)
            c = static_cast<char16_t>(c + 0x60);
    }
}

// Simple case folding by code point; a fold that changes the length (none does within
// the planes today) is rebuilt with the map carried along.
void foldCase(FoldedText &folded)
{
    std::u16string &t = folded.text;
    const auto length = static_cast<int32_t>(t.size());
    bool sameLength = true;
    for (int32_t i = 0; i < length;) {
        const int32_t at = i;
        UChar32 c = 0;
        U16_NEXT(t.data(), i, length, c);
        const UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (f == c)
            continue;
        if (U16_LENGTH(f) != i - at) {
            sameLength = false;
            break;
        }
        int32_t w = at;
        U16_APPEND_UNSAFE(t.data(), w, f);
    }
    if (sameLength)
        return;
    FoldedText rebuilt;
    for (int32_t i = 0; i < length;) {
        const int32_t at = i;
        UChar32 c = 0;
        U16_NEXT(t.data(), i, length, c);
        const UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        char16_t units[2];
        int32_t w = 0;
        U16_APPEND_UNSAFE(units, w, f);
        for (int32_t k = 0; k < w; ++k) {
            rebuilt.text.push_back(units[k]);
            rebuilt.origin.push_back(folded.origin[static_cast<size_t>(at)]);
        }
    }
    rebuilt.origin.push_back(folded.origin.back());
    folded = std::move(rebuilt);
}

bool isOperator(char16_t c)
{
    switch (c) {
    case u'\\':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case u'{':
    case u'}':
    case u'.':
    case u'*':
    case u'+':
    case u'?':
    case u'^':
    case u'$':
    case u'|':
        return true;
    default:
        return false;
    }
}

bool isAsciiPunctuation(char16_t c)
{
    return c < 0x80 && c > 0x20
        && !((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'));
}

// Appends the folded form of a run of literal characters.
void appendFoldedRun(std::u16string_view run, uint32_t fold, bool ignoreCase, std::u16string &out)
{
    FoldedText folded;
    FoldText(run, fold, ignoreCase, folded);
    for (size_t k = 0; k < folded.text.size(); ++k) {
        const char16_t c = folded.text[k];
        if (isAsciiPunctuation(c) && run[static_cast<size_t>(folded.origin[k])] >= 0x80)
            out.push_back(u'\\');
        out.push_back(c);
    }
}

// The length of the escape at `p` (which starts with a backslash), copied as it is.
size_t escapeLength(std::u16string_view p, size_t at)
{
    size_t i = at + 1;
    if (i >= p.size())
        return p.size() - at;
    const char16_t c = p[i++];
    const auto through = [&](char16_t closer) {
        while (i < p.size() && p[i] != closer)
            ++i;
        return std::min(i + 1, p.size()) - at;
    };
    if (c == u'c' && i < p.size())
        return i + 1 - at;
    if (i < p.size() && std::u16string_view(u"xopPNgku").find(c) != std::u16string_view::npos) {
        if (p[i] == u'{')
            return through(u'}');
        if ((c == u'g' || c == u'k') && p[i] == u'<')
            return through(u'>');
        if ((c == u'g' || c == u'k') && p[i] == u'\'') {
            ++i;
            return through(u'\'');
        }
    }
    return i - at;
}

// The length of a group opening "(?..." or "(*..." at `at`: its ASCII head up to and
// including the first character that ends it.
size_t groupHeadLength(std::u16string_view p, size_t at)
{
    size_t i = at + 2;
    while (i < p.size() && p[i] < 0x80) {
        const char16_t c = p[i++];
        if (std::u16string_view(u")>:'=!|").find(c) != std::u16string_view::npos)
            break;
    }
    return i - at;
}

} // namespace

void FoldText(std::u16string_view source, uint32_t fold, bool ignoreCase, FoldedText &out)
{
    const bool caseFold = ignoreCase && (fold & JRE_FOLD_CASE);
    if (isAscii(source)) {
        // NFKC and the kana fold leave ASCII alone.
        identity(source, out);
        if (caseFold) {
            for (char16_t &c : out.text) {
                if (c >= u'A' && c <= u'Z')
                    c = static_cast<char16_t>(c + 0x20);
            }
        }
        return;
    }
    if (fold & JRE_FOLD_WIDTH)
        foldWidth(source, out);
    else
        identity(source, out);
    if (fold & JRE_FOLD_KANA)
        foldKana(out.text);
    if (caseFold)
        foldCase(out);
}

std::u16string FoldPatternLiterals(std::u16string_view pattern, uint32_t fold, bool ignoreCase)
{
    std::u16string out;
    out.reserve(pattern.size());
    size_t i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i];
        if (c == u'\\') {
            const size_t n = escapeLength(pattern, i);
            out.append(pattern.substr(i, n));
            i += n;
        } else if (c == u'(' && i + 1 < pattern.size()
            && (pattern[i + 1] == u'?' || pattern[i + 1] == u'*')) {
            const size_t n = groupHeadLength(pattern, i);
            out.append(pattern.substr(i, n));
            i += n;
        } else if (isOperator(c)) {
            out.push_back(c);
            ++i;
        } else {
            size_t j = i;
            while (j < pattern.size() && !isOperator(pattern[j]))
                ++j;
            appendFoldedRun(pattern.substr(i, j - i), fold, ignoreCase, out);
            i = j;
        }
    }
    return out;
}

bool FoldedAreaToSource(
    const FoldedText &folded, int32_t pos, int32_t length, int32_t &sourcePos, int32_t &sourceLength)
{
    const auto size = static_cast<int32_t>(folded.text.size());
    if (pos < 0 || length < 0 || pos > size || length > size - pos
        || folded.origin.size() != folded.text.size() + 1)
        return false;
    const int32_t start = folded.origin[static_cast<size_t>(pos)];
    int32_t endIndex = pos + length;
    // A match that ends inside a folded segment reaches to that segment's end.
    if (length > 0) {
        const int32_t last = folded.origin[static_cast<size_t>(endIndex - 1)];
        while (endIndex < size && folded.origin[static_cast<size_t>(endIndex)] <= last)
            ++endIndex;
    }
    const int32_t end = folded.origin[static_cast<size_t>(endIndex)];
    sourcePos = start;
    sourceLength = std::max(0, end - start);
    return true;
}

int32_t SourceToFoldedPos(const FoldedText &folded, int32_t sourcePos)
{
    if (folded.origin.empty() || sourcePos < 0 || sourcePos > folded.origin.back())
        return -1;
    const auto it = std::lower_bound(folded.origin.begin(), folded.origin.end(), sourcePos);
    return static_cast<int32_t>(it - folded.origin.begin());
}

} // namespace jre
