#include "tests/support/QtPrinters.h"
#include "view/table/CellColors.h"
#include "view/table/ColorContrast.h"

#include "quotes/QuoteRecord.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct RuleCase {
    int field;
    const char16_t *text; // written into the field's slot
    TextColorRule expected;
};

void PrintTo(const RuleCase &c, std::ostream *os)
{
    *os << "field " << c.field << " \"" << Utf8(c.text) << "\" -> " << static_cast<int>(c.expected);
}

class TextColorRuleTest : public ::testing::TestWithParam<RuleCase> { };

TEST_P(TextColorRuleTest, ColoursByField)
{
    const RuleCase &c = GetParam();
    QuoteRecord r(u"7203"_s);
    r.values.set(static_cast<size_t>(SlotOfField(c.field)), QString::fromUtf16(c.text));
    EXPECT_EQ(CellTextColorRule(r, c.field), c.expected)
        << c.field << " " << QString::fromUtf16(c.text).toStdString();
}

using T = TextColorRule;
INSTANTIATE_TEST_SUITE_P(Cases, TextColorRuleTest,
    ::testing::Values(RuleCase { 5, u"-15", T::Red }, RuleCase { 5, u"+15", T::Row },
        RuleCase { 5, u"0", T::Row }, RuleCase { 5, u"", T::Row }, RuleCase { 5, u"---", T::Row },
        RuleCase { 5, u"-0", T::Row }, RuleCase { 5, u"-1,234.5", T::Red }, RuleCase { 5, u" -3", T::Red },
        RuleCase { 6, u"-0.35%", T::Red }, RuleCase { 6, u"+0.80%", T::Row },
        RuleCase { 22, u"-12.3", T::Red }, RuleCase { 24, u"-1.5", T::Red },
        RuleCase { 31, u"-1,000", T::Red }, RuleCase { 33, u"-5", T::Red }, RuleCase { 33, u"5", T::Row },
        // Fields without a sign rule stay in the row colour even when negative.
        RuleCase { 4, u"-15", T::Row }, RuleCase { 21, u"-1", T::Row }, RuleCase { 23, u"-1", T::Row },
        RuleCase { 10, u"STOP 1,500", T::DarkGreen }, RuleCase { 10, u"1,500", T::Row },
        RuleCase { 11, u"STOP 1,200", T::Red }, RuleCase { 11, u"1,200", T::Row },
        RuleCase { 10, u"stop", T::Row }, // the marker is upper case
        RuleCase { 15, u"ERROR:情報の取得に失敗しました", T::Red }, RuleCase { 15, u"", T::Row },
        RuleCase { 15, u"error", T::Row }));

TEST(TextColorRule, ProfitIsRedWhenNegativeWithOrWithoutHoldings)
{
    QuoteRecord r(u"7203"_s);
    r.loss = -1;
    EXPECT_EQ(CellTextColorRule(r, FieldLoss), T::Red);
    r.has_holdings = true;
    EXPECT_EQ(CellTextColorRule(r, FieldLoss), T::Red);
    r.loss = 0;
    EXPECT_EQ(CellTextColorRule(r, FieldLoss), T::Row);
}

class CellColorsTest : public ::testing::Test {
protected:
    CellColorsTest()
        : record(u"7203"_s)
    {
        record.values.set(SlotDifference, u"-15"_s);
        palette.windowText = 0x101010;
        palette.window = 0xFAFAFA;
        palette.buttonFace = 0xC0C0C0;
        palette.selectionText = 0xFFFFFE;
        palette.selectionBack = 0x800000;
        palette.sortText = 0x202020;
        palette.sortBack = 0x0000C8;
    }
    QuoteRecord record;
    CellPalette palette;
};

TEST_F(CellColorsTest, DefaultRowUsesSystemColours)
{
    EXPECT_EQ(CellColorsOf(record, 2, {}, palette), (CellColors { 0x101010, 0xFAFAFA }));
    EXPECT_EQ(CellColorsOf(record, 5, {}, palette), (CellColors { kColorRed, 0xFAFAFA }));
}

TEST_F(CellColorsTest, RowColoursApplyExceptWhereARuleColours)
{
    record.text_color = 0x00FF00;
    record.back_color = 0x333333;
    EXPECT_EQ(CellColorsOf(record, 2, {}, palette), (CellColors { 0x00FF00, 0x333333 }));
    // On the dark row colour the rule's red is the light red of dark backgrounds.
    EXPECT_EQ(CellColorsOf(record, 5, {}, palette), (CellColors { kColorRedOnDark, 0x333333 }));
    record.back_color = 0xCCF2FF;
    EXPECT_EQ(CellColorsOf(record, 5, {}, palette), (CellColors { kColorRed, 0xCCF2FF }));
}

TEST_F(CellColorsTest, SignalColoursFollowTheCellsBackground)
{
    CellPalette dark = palette;
    dark.windowText = 0xE6E6E6;
    dark.window = 0x23201F;
    dark.sortBack = 0x8A5C2E;
    record.values.set(static_cast<size_t>(SlotHigh), u"STOP 1,000"_s);
    record.values.set(static_cast<size_t>(SlotLow), u"STOP 900"_s);
    EXPECT_EQ(CellColorsOf(record, FieldHigh, {}, dark).text, kColorDarkGreenOnDark);
    EXPECT_EQ(CellColorsOf(record, FieldLow, {}, dark).text, kColorRedOnDark);
    EXPECT_EQ(CellColorsOf(record, FieldHigh, {}, palette).text, kColorDarkGreen);
    CellState sorted;
    sorted.sortedColumn = true;
    EXPECT_EQ(CellColorsOf(record, FieldLow, sorted, dark).text, kColorRedOnDark);
    // The variants are lighter, so they read on dark rows.
    EXPECT_FALSE(IsLightColor(kColorRed));
    EXPECT_TRUE(IsLightColor(kColorRedOnDark));
    EXPECT_TRUE(IsLightColor(kColorDarkGreenOnDark));
}

TEST_F(CellColorsTest, OwnBackgroundWithSystemTextStaysReadable)
{
    CellPalette dark = palette;
    dark.windowText = 0xE6E6E6;
    dark.window = 0x23201F;
    // A light row colour under a dark palette: black text instead of the palette's light.
    record.back_color = 0xCCF2FF;
    EXPECT_EQ(CellColorsOf(record, 2, {}, dark), (CellColors { 0x000000, 0xCCF2FF }));
    // A dark row colour under a light palette: white text.
    record.back_color = 0x602000;
    EXPECT_EQ(CellColorsOf(record, 2, {}, palette), (CellColors { 0xFFFFFF, 0x602000 }));
    // Where the system text stands out, or the row has its own text colour, it stays.
    EXPECT_EQ(CellColorsOf(record, 2, {}, dark).text, 0xE6E6E6u);
    record.text_color = 0xE0E0E0;
    record.back_color = 0xCCF2FF;
    EXPECT_EQ(CellColorsOf(record, 2, {}, dark).text, 0xE0E0E0u);
    EXPECT_TRUE(IsLightColor(0x808080));
    EXPECT_FALSE(IsLightColor(0x7F7F7F));
}

TEST_F(CellColorsTest, OwnTextColourIsLightenedOnTheDarkLook)
{
    CellPalette dark = palette;
    dark.windowText = 0xE6E6E6;
    dark.window = 0x23201F;
    dark.sortBack = 0x8A5C2E;
    // Dark red, dark blue and black: chosen on a light look, lost on the dark one.
    for (const ColorRef own : { ColorRef(0x000080), ColorRef(0x7D491F), ColorRef(0x000000) }) {
        record.text_color = static_cast<qint32>(own);
        for (const bool sorted : { false, true }) {
            const CellColors drawn = CellColorsOf(record, 2, { false, false, sorted }, dark);
            EXPECT_GE(ContrastRatio(drawn.text, drawn.back), kMinTextContrast) << std::hex << own;
            // Just far enough, in the colour's own hue.
            EXPECT_LT(ContrastRatio(drawn.text, drawn.back), kMinTextContrast + 0.1) << std::hex << own;
            EXPECT_GT(HslOf(drawn.text).l, HslOf(own).l);
            EXPECT_NEAR(HslOf(drawn.text).h, HslOf(own).h, 0.02) << std::hex << own;
        }
        EXPECT_EQ(record.text_color, static_cast<qint32>(own));
        // The light look draws the colour as it is stored.
        EXPECT_EQ(CellColorsOf(record, 2, {}, palette).text, own);
    }
    // A colour that already stands out, and the rules' own red, stay as they are.
    record.text_color = 0x5CD6FF;
    EXPECT_EQ(CellColorsOf(record, 2, {}, dark).text, 0x5CD6FFu);
    record.text_color = 0x000080;
    EXPECT_EQ(CellColorsOf(record, FieldDifference, {}, dark).text, kColorRedOnDark);
    // On a light row colour of its own the dark text stays, even under the dark look.
    record.back_color = 0xCCF2FF;
    EXPECT_EQ(CellColorsOf(record, 2, {}, dark).text, 0x000080u);
}

TEST(ContrastRatio, ByRelativeLuminance)
{
    EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(0x336699, 0x336699), 1.0, 1e-9);
    // Pure green is far brighter than pure blue of the same value.
    EXPECT_GT(ContrastRatio(0x00FF00, 0x000000), ContrastRatio(0xFF0000, 0x000000) * 5);
    EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);
    // White is as light as a colour can get: no colour is lightened past it.
    EXPECT_EQ(LightenedForContrast(0x000080, 0xC0C0C0, 25.0), 0xFFFFFFu);
    EXPECT_EQ(ColorOfHsl(HslOf(0x4D50C0)), 0x4D50C0u);
}

TEST_F(CellColorsTest, SelectionAndDisabledOverrideEverything)
{
    CellState selected;
    selected.selected = true;
    EXPECT_EQ(CellColorsOf(record, 5, selected, palette), (CellColors { 0xFFFFFE, 0x800000 }));
    selected.sortedColumn = true;
    EXPECT_EQ(CellColorsOf(record, 5, selected, palette), (CellColors { 0x202020, 0x0000C8 }));
    CellState disabled;
    disabled.disabled = true;
    disabled.selected = true;
    EXPECT_EQ(CellColorsOf(record, 5, disabled, palette), (CellColors { 0x101010, 0xC0C0C0 }));
}

TEST_F(CellColorsTest, SortedColumnIsTinted)
{
    CellState sorted;
    sorted.sortedColumn = true;
    // Red channel: 0xFA * 0.6 + 0xC8 * 0.4 = 230; green and blue: 0xFA * 0.6 = 150.
    EXPECT_EQ(CellColorsOf(record, 2, sorted, palette), (CellColors { 0x101010, 0x9696E6 }));
    EXPECT_EQ(CellColorsOf(record, 5, sorted, palette).text, kColorRed);
}

TEST(BlendColor, WeightsAndRounding)
{
    EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 0), 0xFFFFFFu);
    EXPECT_EQ(BlendColor(0xFFFFFF, 0x000000, 100), 0x000000u);
    EXPECT_EQ(BlendColor(0x000000, 0xFFFFFF, 40), 0x666666u);
    EXPECT_EQ(BlendColor(0x0000FF, 0xFF0000, 50), 0x800080u);
    EXPECT_EQ(BlendColor(0x123456, 0x654321, 250), 0x654321u); // weight clamped
}

TEST(ColorRef, ConvertsToAndFromQtOrder)
{
    EXPECT_EQ(ColorRefToRgb(kColorRed), 0xFFFF0000u);
    EXPECT_EQ(ColorRefToRgb(kColorDarkGreen), 0xFF008000u);
    EXPECT_EQ(ColorRefFromRgb(0xFF123456u), 0x563412u);
    EXPECT_EQ(ColorRefFromRgb(ColorRefToRgb(0xABCDEF)), 0xABCDEFu);
}

} // namespace

namespace {

TEST(ApplyRowColor, SetsResetsAndReportsChanges)
{
    QuoteRecord a(u"1"_s), b(u"2"_s);
    b.text_color = 0x112233;
    EXPECT_TRUE(ApplyRowColor({ &a, &b }, RowTextPart, false, 0x112233, 0xFFFFFF));
    EXPECT_EQ(a.text_color, 0x112233);
    EXPECT_EQ(a.back_color, -1); // not asked for
    // Already that colour everywhere: no change, the document stays clean.
    EXPECT_FALSE(ApplyRowColor({ &a, &b }, RowTextPart, false, 0x112233, 0));
    EXPECT_TRUE(ApplyRowColor({ &b }, RowBothParts, false, 0x000001, 0x000002));
    EXPECT_EQ(b.back_color, 0x000002);
    EXPECT_TRUE(ApplyRowColor({ &a, &b }, RowBothParts, true, 0, 0));
    EXPECT_EQ(a.text_color, -1);
    EXPECT_EQ(b.back_color, -1);
    EXPECT_FALSE(ApplyRowColor({}, RowBothParts, true, 0, 0));
}

} // namespace
