#include "app/core/ColorGallery.h"

#include "view/table/ColorContrast.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr NamedColour kBase[kThemeGridColumns] = {
    { 0xFFFFFF, u"白、背景 1" },
    { 0x000000, u"黒、テキスト 1" },
    { 0xE1ECEE, u"ベージュ、背景 2" },
    { 0x7D491F, u"濃い青、テキスト 2" },
    { 0xBD814F, u"青、アクセント 1" },
    { 0x4D50C0, u"赤、アクセント 2" },
    { 0x59BB9B, u"オリーブ、アクセント 3" },
    { 0xA26480, u"紫、アクセント 4" },
    { 0xC6AC4B, u"アクア、アクセント 5" },
    { 0x4696F7, u"オレンジ、アクセント 6" },
};

// Strong colours that read well as text on a light row.
constexpr NamedColour kStandardText[] = {
    { 0x0000C0, u"濃い赤" },
    { 0x0000FF, u"赤" },
    { 0x00C0FF, u"オレンジ" },
    { 0x00FFFF, u"黄" },
    { 0x50D092, u"薄い緑" },
    { 0x50B000, u"緑" },
    { 0xF0B000, u"薄い青" },
    { 0xC07000, u"青" },
    { 0x602000, u"濃い青" },
    { 0xA03070, u"紫" },
};

// Light colours that keep black text readable on a row.
constexpr NamedColour kStandardBack[] = {
    { 0xCEC7FF, u"薄い赤" },
    { 0xD6E4FC, u"薄いオレンジ" },
    { 0xCCF2FF, u"薄い黄" },
    { 0x99FFFF, u"黄" },
    { 0xDAEFE2, u"薄い緑" },
    { 0xF7EBDD, u"薄い水色" },
    { 0xFFFFCC, u"水色" },
    { 0xF2E1D9, u"薄い青" },
    { 0xECDFE4, u"薄い紫" },
    { 0xEDEDED, u"薄い灰色" },
};

// Tints per row for the columns 1 to 4; columns 5 to 10 share column 4's.
constexpr int kTints[kThemeGridRows][4] = {
    { 0, 0, 0, 0 },
    { -5, 50, -10, 80 },
    { -15, 35, -25, 60 },
    { -25, 25, -50, 40 },
    { -35, 15, -75, -25 },
    { -50, 5, -90, -50 },
};

} // namespace

std::span<const NamedColour> ThemeBaseColours()
{
    return kBase;
}

std::span<const NamedColour> StandardColours(bool background)
{
    if (background)
        return kStandardBack;
    return kStandardText;
}

int ThemeGridTint(int row, int column)
{
    if (row < 0 || row >= kThemeGridRows || column < 0 || column >= kThemeGridColumns)
        return 0;
    return kTints[row][std::min(column, 3)];
}

ColorRef ThemeGridColour(int row, int column)
{
    if (column < 0 || column >= kThemeGridColumns)
        return 0;
    return TintColour(kBase[column].colour, ThemeGridTint(row, column));
}

QString ThemeGridTooltip(int row, int column)
{
    if (column < 0 || column >= kThemeGridColumns)
        return {};
    QString tip = QString::fromUtf16(kBase[column].name);
    const int tint = ThemeGridTint(row, column);
    if (tint != 0) {
        tip += QStringLiteral("、%1 ＋ 基本色 %2%")
                   .arg(tint > 0 ? QStringLiteral("白") : QStringLiteral("黒"))
                   .arg(std::abs(tint));
    }
    return tip;
}

int ThemeGridRowHeight(int row)
{
    const int height = row < 2 ? 16 : 14;
    return row == 0 || row == kThemeGridRows - 1 ? height + 2 : height;
}

ColorRef TintColour(ColorRef colour, int tint)
{
    if (tint == 0)
        return colour & 0xFFFFFF;
    HslColor hsl = HslOf(colour);
    const double t = std::clamp(tint, -100, 100) / 100.0;
    hsl.l = t > 0 ? hsl.l + (1 - hsl.l) * t : hsl.l * (1 + t);
    return ColorOfHsl(hsl);
}
