#pragma once

#include "view/table/CellColors.h"

// Hue, saturation and lightness of a colour, each from 0 to 1.
struct HslColor {
    double h = 0;
    double s = 0;
    double l = 0;
};

HslColor HslOf(ColorRef c);
ColorRef ColorOfHsl(const HslColor &hsl);

// The contrast ratio of two colours by their relative luminance (sRGB), from 1 (the same
// luminance) to 21 (black on white): (lighter + 0.05) / (darker + 0.05).
double ContrastRatio(ColorRef a, ColorRef b);

// Text below this ratio to its background is hard to read; large text and signal colours
// are commonly held to it.
inline constexpr double kMinTextContrast = 3.0;

// `text` as it is drawn on the dark `back`: unchanged when it reaches `ratio`, else its HSL
// lightness raised (hue and saturation kept) just far enough to reach it, white at most.
ColorRef LightenedForContrast(ColorRef text, ColorRef back, double ratio = kMinTextContrast);
