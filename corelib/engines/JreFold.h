#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jre {

// A text folded for fuzzy matching, with the map back to the text it came from:
// origin[i] is the position in the source of the character that folded unit i came from,
// and origin[text.size()] is the source's length, so that [origin[p], origin[p + n]) is
// the source area of the folded area [p, p + n).
struct FoldedText {
    std::u16string text;
    std::vector<int32_t> origin;
};

// Folds `source` by the JRE_FOLD_* bits of `fold`: width by Unicode compatibility
// normalization (NFKC, after turning the spacing voiced sound marks into combining ones so
// that a kana and its mark compose), hiragana to katakana, and, when `ignoreCase`, simple
// case folding. Lone surrogates and NUL characters pass through unchanged.
void FoldText(std::u16string_view source, uint32_t fold, bool ignoreCase, FoldedText &out);

// A regular expression whose literal characters are folded as FoldText folds a text, the
// syntax left as it is: escapes, group openings and the operators are copied; a literal
// that folds to an ASCII operator (full-width "＊" to "*") is escaped so that it stays a
// literal.
std::u16string FoldPatternLiterals(std::u16string_view pattern, uint32_t fold, bool ignoreCase);

// The source area of a folded area, as Fuzzy_FindArea2RealArea reports it; false when the
// area lies outside the folded text.
bool FoldedAreaToSource(
    const FoldedText &folded, int32_t pos, int32_t length, int32_t &sourcePos, int32_t &sourceLength);
// The first folded position whose source position is at or after `sourcePos`; -1 when
// `sourcePos` is outside the source.
int32_t SourceToFoldedPos(const FoldedText &folded, int32_t sourcePos);

} // namespace jre
