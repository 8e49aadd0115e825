#include "corelib/engines/JreRegex.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace jre {
namespace {
constexpr PCRE2_SIZE kJitStackStart = 32 * 1024;
constexpr PCRE2_SIZE kJitStackMax = 1024 * 1024;

std::u16string number(int64_t v)
{
    const std::string digits = std::to_string(v);
    return std::u16string(digits.begin(), digits.end());
}
} // namespace

std::u16string Pcre2ErrorText(int code)
{
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
    if (length < 0)
        return u"regular expression error " + number(code);
    return std::u16string(reinterpret_cast<const char16_t *>(buffer), static_cast<size_t>(length));
}

Regex::~Regex()
{
    clear();
}

void Regex::clear()
{
    pcre2_match_data_free(m_data);
    pcre2_match_context_free(m_context);
    pcre2_jit_stack_free(m_stack);
    pcre2_code_free(m_code);
    m_data = nullptr;
    m_context = nullptr;
    m_stack = nullptr;
    m_code = nullptr;
    m_jit = false;
}

bool Regex::compile(std::u16string_view pattern, bool caseless, std::u16string &message, int32_t &errorOffset)
{
    clear();
    // \C could split a surrogate pair and leave the matcher inside a character. Without
    // PCRE2_UCP the classes \d, \w, \s and \b stay ASCII, caseless or not; caseless
    // matching folds the other letters by their Unicode case.
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C;
    if (caseless)
        options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE offset = 0;
    // An empty view may carry no pointer; PCRE2 wants one even for length 0.
    static const PCRE2_UCHAR empty[1] = { 0 };
    const auto *units = pattern.empty() ? empty : reinterpret_cast<PCRE2_SPTR>(pattern.data());
    m_code = pcre2_compile(units, pattern.size(), options, &error, &offset, nullptr);
    if (!m_code) {
        message = Pcre2ErrorText(error) + u" at offset " + number(static_cast<int64_t>(offset));
        errorOffset = static_cast<int32_t>(offset);
        return false;
    }
    errorOffset = -1;
    m_jit = pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE) == 0;
    m_data = pcre2_match_data_create_from_pattern(m_code, nullptr);
    m_context = pcre2_match_context_create(nullptr);
    if (!m_data || !m_context) {
        clear();
        message = u"out of memory";
        return false;
    }
    pcre2_set_match_limit(m_context, kMatchLimit);
    pcre2_set_depth_limit(m_context, kDepthLimit);
    pcre2_set_heap_limit(m_context, kHeapLimitKiB);
    if (m_jit) {
        m_stack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (m_stack)
            pcre2_jit_stack_assign(m_context, nullptr, m_stack);
    }
    return true;
}

Regex::Outcome Regex::match(std::u16string_view text, int32_t start, int32_t &matchStart,
    int32_t &matchLength, std::u16string &message) const
{
    if (!m_code || start < 0 || static_cast<size_t>(start) > text.size())
        return Outcome::NoMatch;
    static const PCRE2_UCHAR empty[1] = { 0 };
    const auto *units = text.empty() ? empty : reinterpret_cast<PCRE2_SPTR>(text.data());
    // The JIT's own entry skips the interpreter's checks of pattern and options.
    const int rc = m_jit
        ? pcre2_jit_match(m_code, units, text.size(), static_cast<PCRE2_SIZE>(start), 0, m_data, m_context)
        : pcre2_match(m_code, units, text.size(), static_cast<PCRE2_SIZE>(start), 0, m_data, m_context);
    if (rc >= 0) {
        const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(m_data);
        matchStart = static_cast<int32_t>(ovector[0]);
        // \K in a lookbehind can put the start after the end; the length is never negative.
        matchLength = ovector[1] > ovector[0] ? static_cast<int32_t>(ovector[1] - ovector[0]) : 0;
        return Outcome::Match;
    }
    if (rc == PCRE2_ERROR_NOMATCH || rc == PCRE2_ERROR_PARTIAL)
        return Outcome::NoMatch;
    message = Pcre2ErrorText(rc);
    switch (rc) {
    case PCRE2_ERROR_MATCHLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_JIT_STACKLIMIT:
    case PCRE2_ERROR_NOMEMORY:
        return Outcome::Limit;
    default:
        return Outcome::NoMatch;
    }
}

} // namespace jre
