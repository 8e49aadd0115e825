// The regular-expression entry points that both engine modules export.

#include "corelib/engines/JreExport.h"
#include "corelib/engines/JreInterface.h"
#include "corelib/engines/JreMessage.h"
#include "corelib/engines/JreRegex.h"

#include <new>
#include <string_view>

#ifndef JRE_MODULE_VERSION
#error "JRE_MODULE_VERSION names the module's version"
#endif

namespace {
jre::Regex *regexOf(JRE2 *jre)
{
    return jre && jre->size == sizeof(JRE2) ? static_cast<jre::Regex *>(jre->engine) : nullptr;
}

std::u16string_view view(const JreChar *units, int32_t length)
{
    if (!units || length <= 0)
        return {};
    return { reinterpret_cast<const char16_t *>(units), static_cast<size_t>(length) };
}
} // namespace

JRE_EXPORT uint16_t JreGetVersion(void)
{
    return JRE_MODULE_VERSION;
}

JRE_EXPORT int Jre2Open(JRE2 *jre)
{
    if (!jre || jre->size != sizeof(JRE2))
        return 0;
    delete static_cast<jre::Regex *>(jre->engine);
    jre->engine = new (std::nothrow) jre::Regex;
    jre->errorOffset = -1;
    return jre->engine ? 1 : 0;
}

JRE_EXPORT int Jre2Compile(JRE2 *jre, const JreChar *pattern, int32_t length)
{
    jre::Regex *regex = regexOf(jre);
    if (!regex || length < 0 || (length > 0 && !pattern)) {
        jre::SetMessage(u"the engine is not open");
        return 0;
    }
    std::u16string message;
    const bool caseless = (jre->options & JRE_OPTION_IGNORE_CASE) != 0;
    if (!regex->compile(view(pattern, length), caseless, message, jre->errorOffset)) {
        jre::SetMessage(std::move(message));
        return 0;
    }
    jre::ClearMessage();
    return 1;
}

JRE_EXPORT int Jre2GetMatchInfo(JRE2 *jre, const JreChar *text, int32_t length, int32_t start)
{
    const jre::Regex *regex = regexOf(jre);
    if (!regex || length < 0 || (length > 0 && !text))
        return JRE_NO_MATCH;
    std::u16string message;
    switch (regex->match(view(text, length), start, jre->matchStart, jre->matchLength, message)) {
    case jre::Regex::Outcome::Match:
        return JRE_MATCH;
    case jre::Regex::Outcome::Limit:
        jre::SetMessage(std::move(message));
        return JRE_LIMIT;
    case jre::Regex::Outcome::NoMatch:
        break;
    }
    if (!message.empty())
        jre::SetMessage(std::move(message));
    return JRE_NO_MATCH;
}

JRE_EXPORT int Jre2Close(JRE2 *jre)
{
    if (!jre || jre->size != sizeof(JRE2))
        return 0;
    delete static_cast<jre::Regex *>(jre->engine);
    jre->engine = nullptr;
    return 1;
}

JRE_EXPORT int32_t GetJreMessage(JreChar *buffer, int32_t capacity)
{
    return jre::CopyMessage(buffer, capacity);
}
