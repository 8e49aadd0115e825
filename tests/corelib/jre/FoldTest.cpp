#include "corelib/engines/JreFold.h"
#include "corelib/engines/JreInterface.h"

#include <gtest/gtest.h>

#include <string>

using jre::FoldedText;

namespace {

std::u16string fold(std::u16string_view s, uint32_t bits, bool ignoreCase = true)
{
    FoldedText out;
    jre::FoldText(s, bits, ignoreCase, out);
    EXPECT_EQ(out.origin.size(), out.text.size() + 1);
    EXPECT_EQ(out.origin.back(), static_cast<int32_t>(s.size()));
    return out.text;
}

struct FoldCase {
    const char16_t *source;
    uint32_t bits;
    bool ignoreCase;
    const char16_t *expected;
};

// Each kind of folding on and off.
const FoldCase kTable[] = {
    { u"ＡＢＣ", JRE_FOLD_WIDTH, false, u"ABC" },
    { u"ＡＢＣ", 0, false, u"ＡＢＣ" },
    { u"１２３", JRE_FOLD_WIDTH, false, u"123" },
    { u"ｶﾞ", JRE_FOLD_WIDTH, false, u"ガ" },
    { u"ｶﾞ", 0, false, u"ｶﾞ" },
    { u"ﾊﾟﾝ", JRE_FOLD_WIDTH, false, u"パン" },
    { u"カ゛", JRE_FOLD_WIDTH, false, u"ガ" }, // spacing voiced mark composes
    { u"ハ゜", JRE_FOLD_WIDTH, false, u"パ" },
    { u"とよた", JRE_FOLD_KANA, false, u"トヨタ" },
    { u"とよた", 0, false, u"とよた" },
    { u"ゝゞ", JRE_FOLD_KANA, false, u"ヽヾ" },
    { u"が", JRE_FOLD_KANA, false, u"ガ" },
    { u"ｶﾞ", JRE_FOLD_WIDTH | JRE_FOLD_KANA, false, u"ガ" },
    { u"かﾞ", JRE_FOLD_WIDTH | JRE_FOLD_KANA, false, u"ガ" },
    { u"Motor", JRE_FOLD_CASE, true, u"motor" },
    { u"Motor", JRE_FOLD_CASE, false, u"Motor" }, // case kept with match case
    { u"Motor", JRE_FOLD_WIDTH | JRE_FOLD_KANA, true, u"Motor" }, // case fold switched off
    { u"ＭＯＴＯＲ", JRE_FOLD_ALL, true, u"motor" },
    { u"ΣΑΣ", JRE_FOLD_CASE, true, u"σασ" },
    { u"トヨタ", JRE_FOLD_ALL, true, u"トヨタ" },
};

} // namespace

TEST(FoldTable, EachFoldOnAndOff)
{
    for (const FoldCase &c : kTable) {
        EXPECT_EQ(fold(c.source, c.bits, c.ignoreCase), std::u16string(c.expected))
            << "bits " << c.bits << " ignoreCase " << c.ignoreCase;
    }
}

TEST(FoldMap, PositionsLeadBackToTheSource)
{
    FoldedText out;
    const std::u16string source = u"xｶﾞスＡ";
    jre::FoldText(source, JRE_FOLD_ALL, true, out);
    ASSERT_EQ(out.text, u"xガスa");
    EXPECT_EQ(out.origin, (std::vector<int32_t> { 0, 1, 3, 4, 5 }));
    int32_t pos = -1;
    int32_t length = -1;
    ASSERT_TRUE(jre::FoldedAreaToSource(out, 1, 2, pos, length)); // "ガス"
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(length, 3); // ｶﾞス
    EXPECT_FALSE(jre::FoldedAreaToSource(out, 3, 5, pos, length));
    EXPECT_EQ(jre::SourceToFoldedPos(out, 3), 2);
    EXPECT_EQ(jre::SourceToFoldedPos(out, 2), 2); // inside ｶﾞ: the next folded unit
    EXPECT_EQ(jre::SourceToFoldedPos(out, 99), -1);
}

TEST(FoldMap, CompatibilityExpansionMapsToItsSource)
{
    FoldedText out;
    jre::FoldText(u"a㌔b", JRE_FOLD_WIDTH, false, out); // ㌔ expands to キロ
    ASSERT_EQ(out.text, u"aキロb");
    int32_t pos = -1;
    int32_t length = -1;
    ASSERT_TRUE(jre::FoldedAreaToSource(out, 1, 1, pos, length)); // half of the expansion
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(length, 1);
}

TEST(FoldText, LoneSurrogatesAndNulPassThrough)
{
    const std::u16string source = { u'Ａ', 0xD800, 0, u'ｶ', 0xDC00 };
    const std::u16string folded = fold(source, JRE_FOLD_ALL);
    EXPECT_EQ(folded, (std::u16string { u'a', 0xD800, 0, u'カ', 0xDC00 }));
    EXPECT_EQ(fold(u"", JRE_FOLD_ALL), u"");
}

TEST(FoldPattern, SyntaxKeptLiteralsFolded)
{
    EXPECT_EQ(
        jre::FoldPatternLiterals(u"ｶﾞ\\d+(?<Name>とよた)", JRE_FOLD_ALL, false), u"ガ\\d+(?<Name>トヨタ)");
    EXPECT_EQ(jre::FoldPatternLiterals(u"＊（）", JRE_FOLD_WIDTH, false), u"\\*\\(\\)");
    EXPECT_EQ(jre::FoldPatternLiterals(u"\\x{FF21}Ａ", JRE_FOLD_WIDTH, false), u"\\x{FF21}A");
    EXPECT_EQ(jre::FoldPatternLiterals(u"[ぁ-ん]", JRE_FOLD_KANA, false), u"[ァ-ン]");
    EXPECT_EQ(jre::FoldPatternLiterals(u"ABC", JRE_FOLD_ALL, true), u"abc");
    EXPECT_EQ(jre::FoldPatternLiterals(u"\\", JRE_FOLD_ALL, true), u"\\");
}
