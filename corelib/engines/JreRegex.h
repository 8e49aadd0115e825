#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;
struct pcre2_real_match_context_16;
struct pcre2_real_jit_stack_16;

namespace jre {

// One compiled PCRE2 pattern (16-bit code units, UTF mode, invalid UTF in texts allowed),
// matched through the JIT where PCRE2 offers it. Match, depth and heap limits bound every
// search, so a pattern with catastrophic backtracking ends as a limit hit instead of hanging.
class Regex {
public:
    // Limits of one search: calls of the match function, backtracking depth and heap (KiB).
    static constexpr uint32_t kMatchLimit = 2'000'000;
    static constexpr uint32_t kDepthLimit = 10'000;
    static constexpr uint32_t kHeapLimitKiB = 32 * 1024;

    Regex() = default;
    Regex(const Regex &) = delete;
    Regex &operator=(const Regex &) = delete;
    ~Regex();

    // Compiles `pattern`. On failure the previous pattern is gone, `message` holds PCRE2's
    // text with the offset and `errorOffset` the offset in code units.
    bool compile(std::u16string_view pattern, bool caseless, std::u16string &message, int32_t &errorOffset);
    bool isCompiled() const { return m_code != nullptr; }
    bool usesJit() const { return m_jit; }
    void clear();

    enum class Outcome { NoMatch, Match, Limit };
    // Searches from `start`; on a match `matchStart` and `matchLength` are set. A limit hit
    // or another engine failure sets `message`.
    Outcome match(std::u16string_view text, int32_t start, int32_t &matchStart, int32_t &matchLength,
        std::u16string &message) const;

private:
    pcre2_real_code_16 *m_code = nullptr;
    pcre2_real_match_data_16 *m_data = nullptr;
    pcre2_real_match_context_16 *m_context = nullptr;
    pcre2_real_jit_stack_16 *m_stack = nullptr;
    bool m_jit = false;
};

// PCRE2's own text for an error code.
std::u16string Pcre2ErrorText(int code);

} // namespace jre
