#include "view/table/ColorContrast.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(ColorRef c, int shift)
{
    return static_cast<double>((c >> shift) & 0xFF) / 255.0;
}

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

ColorRef toByte(double v, int shift)
{
    return static_cast<ColorRef>(std::clamp(static_cast<int>(std::lround(v * 255.0)), 0, 255)) << shift;
}

double linear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double relativeLuminance(ColorRef c)
{
    return 0.2126 * linear(channel(c, 0)) + 0.7152 * linear(channel(c, 8)) + 0.0722 * linear(channel(c, 16));
}

} // namespace

HslColor HslOf(ColorRef c)
{
    const double r = channel(c, 0);
    const double g = channel(c, 8);
    const double b = channel(c, 16);
    const double max = std::max({ r, g, b });
    const double min = std::min({ r, g, b });
    HslColor hsl;
    hsl.l = (max + min) / 2;
    const double d = max - min;
    if (d > 0) {
        hsl.s = hsl.l > 0.5 ? d / (2 - max - min) : d / (max + min);
        if (max == r)
            hsl.h = (g - b) / d + (g < b ? 6 : 0);
        else if (max == g)
            hsl.h = (b - r) / d + 2;
        else
            hsl.h = (r - g) / d + 4;
        hsl.h /= 6;
    }
    return hsl;
}

ColorRef ColorOfHsl(const HslColor &hsl)
{
    const double l = std::clamp(hsl.l, 0.0, 1.0);
    double r = l;
    double g = l;
    double b = l;
    if (hsl.s > 0) {
        const double q = l < 0.5 ? l * (1 + hsl.s) : l + hsl.s - l * hsl.s;
        const double p = 2 * l - q;
        r = hueToChannel(p, q, hsl.h + 1.0 / 3);
        g = hueToChannel(p, q, hsl.h);
        b = hueToChannel(p, q, hsl.h - 1.0 / 3);
    }
    return toByte(r, 0) | toByte(g, 8) | toByte(b, 16);
}

double ContrastRatio(ColorRef a, ColorRef b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColorRef LightenedForContrast(ColorRef text, ColorRef back, double ratio)
{
    text &= 0xFFFFFF;
    if (ContrastRatio(text, back) >= ratio)
        return text;
    // Every channel grows with the lightness, so the ratio against a dark background does
    // too: the least lightness that reaches it is found by halving the interval.
    HslColor hsl = HslOf(text);
    const auto reaches = [&](double l) {
        HslColor lighter = hsl;
        lighter.l = l;
        return ContrastRatio(ColorOfHsl(lighter), back) >= ratio;
    };
    double low = hsl.l;
    double high = 1.0;
    if (!reaches(high))
        return 0xFFFFFF;
    for (int i = 0; i < 24; ++i) {
        const double mid = (low + high) / 2;
        (reaches(mid) ? high : low) = mid;
    }
    hsl.l = high;
    return ColorOfHsl(hsl);
}
