// The fuzzy-matching entry points of hmjre.so: texts and find strings folded by JreFold,
// then searched as a plain folded string or as a regular expression over the folded text.

#include "corelib/engines/JreExport.h"
#include "corelib/engines/JreFold.h"
#include "corelib/engines/JreInterface.h"
#include "corelib/engines/JreMessage.h"
#include "corelib/engines/JreRegex.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string_view>

namespace {

struct FuzzyEngine {
    uint32_t fold = JRE_FOLD_ALL;
    int32_t mode = 0; // 0 until a find string was converted
    bool caseFolded = false; // the conversions folded case
    std::u16string findString; // folded: the plain string, or the pattern of mode 1
    jre::Regex regex;
    std::unique_ptr<jre::Regex> caselessRegex; // mode 1 ignoring case, made when first asked for
    jre::FoldedText target;
    bool hasTarget = false;
};

FuzzyEngine *engineOf(JREFUZZYDATA *data)
{
    return data && data->size == sizeof(JREFUZZYDATA) ? static_cast<FuzzyEngine *>(data->engine) : nullptr;
}

std::u16string_view view(const JreChar *units, int32_t length)
{
    if (!units || length <= 0)
        return {};
    return { reinterpret_cast<const char16_t *>(units), static_cast<size_t>(length) };
}

bool ignoresCase(const JREFUZZYDATA *data)
{
    return (data->options & JRE_FUZZY_IGNORE_CASE) != 0;
}

// The units of a and b compared by simple case folding (one code unit each: the find
// string and the target were folded alike, so surrogates compare as they are).
bool equalIgnoringCase(char16_t a, char16_t b)
{
    return a == b || u_foldCase(a, U_FOLD_CASE_DEFAULT) == u_foldCase(b, U_FOLD_CASE_DEFAULT);
}

int32_t search(JREFUZZYDATA *data, int32_t start, bool ignoreCase)
{
    FuzzyEngine *e = engineOf(data);
    if (!e || !e->hasTarget || e->mode == 0 || start < 0
        || static_cast<size_t>(start) > e->target.text.size())
        return JRE_FIND_NONE;
    const std::u16string_view text = e->target.text;
    const bool extraCase = ignoreCase && !e->caseFolded && (e->fold & JRE_FOLD_CASE);
    if (e->mode == JRE_CONVERT_PLAIN) {
        const std::u16string_view what = e->findString;
        size_t at = std::u16string_view::npos;
        if (!extraCase) {
            at = text.find(what, static_cast<size_t>(start));
        } else {
            const auto it
                = std::search(text.begin() + start, text.end(), what.begin(), what.end(), equalIgnoringCase);
            if (it != text.end() || what.empty())
                at = static_cast<size_t>(it - text.begin());
        }
        if (at == std::u16string_view::npos)
            return JRE_FIND_NONE;
        data->matchStart = static_cast<int32_t>(at);
        data->matchLength = static_cast<int32_t>(what.size());
        return data->matchStart;
    }
    const jre::Regex *regex = &e->regex;
    if (extraCase) {
        if (!e->caselessRegex) {
            e->caselessRegex = std::make_unique<jre::Regex>();
            std::u16string message;
            int32_t offset = -1;
            if (!e->caselessRegex->compile(e->findString, true, message, offset))
                jre::SetMessage(std::move(message));
        }
        regex = e->caselessRegex.get();
    }
    std::u16string message;
    switch (regex->match(text, start, data->matchStart, data->matchLength, message)) {
    case jre::Regex::Outcome::Match:
        return data->matchStart;
    case jre::Regex::Outcome::Limit:
        jre::SetMessage(std::move(message));
        return JRE_FIND_LIMIT;
    case jre::Regex::Outcome::NoMatch:
        break;
    }
    return JRE_FIND_NONE;
}

} // namespace

JRE_EXPORT int Fuzzy_Open(JREFUZZYDATA *data, uint32_t fold)
{
    if (!data || data->size != sizeof(JREFUZZYDATA))
        return 0;
    delete static_cast<FuzzyEngine *>(data->engine);
    auto *e = new (std::nothrow) FuzzyEngine;
    data->engine = e;
    if (!e)
        return 0;
    e->fold = fold & JRE_FOLD_ALL;
    data->fold = e->fold;
    return 1;
}

JRE_EXPORT int Fuzzy_Close(JREFUZZYDATA *data)
{
    if (!data || data->size != sizeof(JREFUZZYDATA))
        return 0;
    delete static_cast<FuzzyEngine *>(data->engine);
    data->engine = nullptr;
    return 1;
}

JRE_EXPORT int Fuzzy_ConvertTarget(JREFUZZYDATA *data, const JreChar *text, int32_t length)
{
    FuzzyEngine *e = engineOf(data);
    if (!e || length < 0 || (length > 0 && !text))
        return 0;
    jre::FoldText(view(text, length), e->fold, ignoresCase(data), e->target);
    e->hasTarget = true;
    return 1;
}

JRE_EXPORT int Fuzzy_ConvertFindString(
    JREFUZZYDATA *data, const JreChar *pattern, int32_t length, int32_t mode)
{
    FuzzyEngine *e = engineOf(data);
    if (!e || length < 0 || (length > 0 && !pattern)) {
        jre::SetMessage(u"the fuzzy engine is not open");
        return 0;
    }
    const bool ignore = ignoresCase(data);
    e->mode = 0;
    e->caselessRegex.reset();
    e->caseFolded = ignore && (e->fold & JRE_FOLD_CASE);
    if (mode == JRE_CONVERT_PLAIN) {
        jre::FoldedText folded;
        jre::FoldText(view(pattern, length), e->fold, ignore, folded);
        e->findString = std::move(folded.text);
    } else if (mode == JRE_CONVERT_REGULAR) {
        e->findString = jre::FoldPatternLiterals(view(pattern, length), e->fold, ignore);
        std::u16string message;
        int32_t offset = -1;
        if (!e->regex.compile(e->findString, e->caseFolded, message, offset)) {
            jre::SetMessage(std::move(message));
            return 0;
        }
    } else {
        jre::SetMessage(u"unknown conversion mode");
        return 0;
    }
    e->mode = mode;
    jre::ClearMessage();
    return 1;
}

JRE_EXPORT int32_t Fuzzy_FindPos2RealPos(JREFUZZYDATA *data, int32_t pos)
{
    const FuzzyEngine *e = engineOf(data);
    if (!e || !e->hasTarget || pos < 0 || static_cast<size_t>(pos) >= e->target.origin.size())
        return -1;
    return e->target.origin[static_cast<size_t>(pos)];
}

JRE_EXPORT int Fuzzy_FindArea2RealArea(
    JREFUZZYDATA *data, int32_t pos, int32_t length, int32_t *realPos, int32_t *realLength)
{
    const FuzzyEngine *e = engineOf(data);
    if (!e || !e->hasTarget || !realPos || !realLength)
        return 0;
    return jre::FoldedAreaToSource(e->target, pos, length, *realPos, *realLength) ? 1 : 0;
}

JRE_EXPORT int32_t Fuzzy_RealPos2FindPos(JREFUZZYDATA *data, int32_t realPos)
{
    const FuzzyEngine *e = engineOf(data);
    if (!e || !e->hasTarget)
        return -1;
    return jre::SourceToFoldedPos(e->target, realPos);
}

JRE_EXPORT int Fuzzy_OptionDialog(JREFUZZYDATA *data, JreOptionAsk ask, void *context)
{
    if (!data || data->size != sizeof(JREFUZZYDATA) || !ask)
        return 0;
    uint32_t fold = data->fold;
    if (!ask(context, &fold))
        return 0;
    fold &= JRE_FOLD_ALL;
    if (fold == data->fold)
        return 0;
    data->fold = fold;
    return 1;
}

JRE_EXPORT int32_t FindRegular(JREFUZZYDATA *data, int32_t start)
{
    return search(data, start, false);
}

JRE_EXPORT int32_t FindRegularNoCaseSense(JREFUZZYDATA *data, int32_t start)
{
    return search(data, start, true);
}
