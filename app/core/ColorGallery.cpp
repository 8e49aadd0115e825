#include "app/core/ColorGallery.h"

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

double hueToChannel(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

int toByte(double v)
{
    return std::clamp(static_cast<int>(std::lround(v * 255.0)), 0, 255);
}

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
    const double r = (colour & 0xFF) / 255.0;
    const double g = ((colour >> 8) & 0xFF) / 255.0;
    const double b = ((colour >> 16) & 0xFF) / 255.0;
    const double max = std::max({ r, g, b });
    const double min = std::min({ r, g, b });
    double l = (max + min) / 2;
    double h = 0;
    double s = 0;
    const double d = max - min;
    if (d > 0) {
        s = l > 0.5 ? d / (2 - max - min) : d / (max + min);
        if (max == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (max == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
    }
    const double t = std::clamp(tint, -100, 100) / 100.0;
    l = t > 0 ? l + (1 - l) * t : l * (1 + t);
    double rr = l;
    double gg = l;
    double bb = l;
    if (s > 0) {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double p = 2 * l - q;
        rr = hueToChannel(p, q, h + 1.0 / 3);
        gg = hueToChannel(p, q, h);
        bb = hueToChannel(p, q, h - 1.0 / 3);
    }
    return static_cast<ColorRef>(toByte(rr)) | (static_cast<ColorRef>(toByte(gg)) << 8)
        | (static_cast<ColorRef>(toByte(bb)) << 16);
}
