#include "app/core/ColorGallery.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorGallery, BaseRowIsTheBaseColoursUnchanged)
{
    const auto base = ThemeBaseColours();
    ASSERT_EQ(base.size(), 10u);
    const ColorRef expected[] = { 0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B,
        0xA26480, 0xC6AC4B, 0x4696F7 };
    for (int c = 0; c < kThemeGridColumns; ++c) {
        EXPECT_EQ(base[c].colour, expected[c]) << c;
        EXPECT_EQ(ThemeGridTint(0, c), 0);
        EXPECT_EQ(ThemeGridColour(0, c), expected[c]) << c;
        EXPECT_EQ(TintColour(expected[c], 0), expected[c]);
    }
}

TEST(ColorGallery, TintTableByRowAndColumn)
{
    const int firstFour[6][4] = { { 0, 0, 0, 0 }, { -5, 50, -10, 80 }, { -15, 35, -25, 60 },
        { -25, 25, -50, 40 }, { -35, 15, -75, -25 }, { -50, 5, -90, -50 } };
    for (int r = 0; r < kThemeGridRows; ++r) {
        for (int c = 0; c < kThemeGridColumns; ++c)
            EXPECT_EQ(ThemeGridTint(r, c), firstFour[r][std::min(c, 3)]) << r << "," << c;
    }
    EXPECT_EQ(ThemeGridTint(-1, 0), 0);
    EXPECT_EQ(ThemeGridTint(6, 0), 0);
    EXPECT_EQ(ThemeGridTint(0, 10), 0);
}

// Values worked out by hand in HSL (hue and saturation kept, lightness moved), which are
// also the tints office programs show for these theme colours.
TEST(ColorGallery, TintedCellsMatchHandComputedValues)
{
    // Accent 1 (RGB 4F81BD): L = 0.5255, +80 % -> L 0.9051 -> RGB DC E6 F2.
    EXPECT_EQ(ThemeGridColour(1, 4), 0xF2E6DCu);
    // Accent 1, -25 %: L 0.3941 -> RGB 37 60 92.
    EXPECT_EQ(ThemeGridColour(4, 4), 0x926037u);
    // Text 1 (black), +50 %: a middle grey, 127.5 rounded up.
    EXPECT_EQ(ThemeGridColour(1, 1), 0x808080u);
    // Background 1 (white), -5 %: L 0.95 -> F2 F2 F2.
    EXPECT_EQ(ThemeGridColour(1, 0), 0xF2F2F2u);
    // Background 2 (RGB EEECE1), -10 % -> DD D9 C3; -90 % -> 1E 1C 11.
    EXPECT_EQ(ThemeGridColour(1, 2), 0xC3D9DDu);
    EXPECT_EQ(ThemeGridColour(5, 2), 0x111C1Eu);
    // Accent 6 (RGB F79646), +40 % -> FA C0 90.
    EXPECT_EQ(ThemeGridColour(3, 9), 0x90C0FAu);
    // Text 2 (RGB 1F497D), -50 %: L 0.1529, blue = L(1 + S) * 255 = 62.5 exactly, a half
    // that rounds up -> 0F 24 3F.
    EXPECT_EQ(ThemeGridColour(5, 3), 0x3F240Fu);
    // Accent 2 (RGB C0504D), +60 % -> E6 B9 B8.
    EXPECT_EQ(ThemeGridColour(2, 5), 0xB8B9E6u);
}

TEST(ColorGallery, TintEnds)
{
    EXPECT_EQ(TintColour(0xBD814F, 100), 0xFFFFFFu);
    EXPECT_EQ(TintColour(0xBD814F, -100), 0x000000u);
    // Out-of-range tints are held at the ends.
    EXPECT_EQ(TintColour(0xBD814F, 250), 0xFFFFFFu);
    // The byte above the colour is no part of it.
    EXPECT_EQ(TintColour(0xFF000000u | 0x4D50C0, 0), 0x4D50C0u);
}

TEST(ColorGallery, TooltipsNameTheColourAndItsTint)
{
    EXPECT_EQ(ThemeGridTooltip(0, 4), QStringLiteral("青、アクセント 1"));
    EXPECT_EQ(ThemeGridTooltip(1, 4), QStringLiteral("青、アクセント 1、白 ＋ 基本色 80%"));
    EXPECT_EQ(ThemeGridTooltip(5, 0), QStringLiteral("白、背景 1、黒 ＋ 基本色 50%"));
    EXPECT_EQ(ThemeGridTooltip(4, 9), QStringLiteral("オレンジ、アクセント 6、黒 ＋ 基本色 25%"));
    EXPECT_EQ(ThemeGridTooltip(5, 1), QStringLiteral("黒、テキスト 1、白 ＋ 基本色 5%"));
    EXPECT_TRUE(ThemeGridTooltip(0, 10).isEmpty());
}

TEST(ColorGallery, RowHeightsFillTheGrid)
{
    const int heights[] = { 18, 16, 14, 14, 14, 16 };
    int total = 0;
    for (int r = 0; r < kThemeGridRows; ++r) {
        EXPECT_EQ(ThemeGridRowHeight(r), heights[r]) << r;
        total += ThemeGridRowHeight(r);
    }
    EXPECT_EQ(total, 92);
    EXPECT_EQ(kThemeGridColumns * kGalleryCellWidth, 180);
}

TEST(ColorGallery, StandardColoursDifferForTextAndRows)
{
    const auto text = StandardColours(false);
    const auto back = StandardColours(true);
    ASSERT_EQ(text.size(), 10u);
    ASSERT_EQ(back.size(), 10u);
    EXPECT_EQ(text[1].colour, 0x0000FFu); // red
    for (size_t i = 0; i < back.size(); ++i) {
        // Row backgrounds are light, so the list's black text stays readable on them.
        const ColorRef c = back[i].colour;
        const int lightness = (std::max({ c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF })
                                  + std::min({ c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF }))
            / 2;
        EXPECT_GT(lightness, 180) << i;
        EXPECT_FALSE(QString::fromUtf16(back[i].name).isEmpty());
    }
}

} // namespace
