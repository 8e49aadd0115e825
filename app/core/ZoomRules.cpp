#include "app/core/ZoomRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

int MulDivRound(int a, int b, int c)
{
    if (c == 0)
        return 0;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>((product < 0) != (c < 0) ? -magnitude : magnitude);
}

int ZoomSliderPosition(int z)
{
    int position = 0;
    if (z >= kZoomMax)
        position = kZoomSliderMax;
    else if (z < 100)
        position = MulDivRound(z - kZoomMin, kZoomSliderCentre, 100 - kZoomMin);
    else
        position = kZoomSliderCentre + MulDivRound(z - 100, kZoomSliderCentre, kZoomMax - 100);
    return std::clamp(position, 0, kZoomSliderMax);
}

int ZoomAfterSliderAction(ZoomSliderAction action, int z, int position)
{
    // Floor to a multiple of ten, also below zero (a zoom is never negative, but the rule
    // should not depend on that).
    const int multiple = (z >= 0 ? z / 10 : (z - 9) / 10) * 10;
    switch (action) {
    case ZoomSliderAction::LineLeft:
        return std::max(kZoomMin, multiple - 10);
    case ZoomSliderAction::LineRight:
        return multiple >= kZoomMax - 10 ? kZoomMax : multiple + 10;
    case ZoomSliderAction::PageLeft:
        return std::max(kZoomMin, z - 10);
    case ZoomSliderAction::PageRight:
        return z >= kZoomMax - 10 ? kZoomMax : z + 10;
    case ZoomSliderAction::ThumbTrack: {
        const int p = std::clamp(position, 0, kZoomSliderMax);
        const int dragged = p > kZoomSliderCentre
            ? 100 + MulDivRound(p - kZoomSliderCentre, kZoomMax - 100, kZoomSliderCentre)
            : kZoomMin + MulDivRound(p, 100 - kZoomMin, kZoomSliderCentre);
        // Near the middle the thumb sticks to 100 %, so the usual size is easy to find.
        return dragged >= 91 && dragged <= 149 ? 100 : dragged;
    }
    case ZoomSliderAction::LeftEnd:
        return kZoomMin;
    case ZoomSliderAction::RightEnd:
        return kZoomMax;
    case ZoomSliderAction::Other:
        break;
    }
    return z;
}

QString ZoomText(int z)
{
    return QString::number(z) + u'%';
}

int BaseFontHeight(int height, int z)
{
    if (z <= 0)
        z = kZoomDefault;
    const int base = static_cast<int>(std::trunc(double(height) / z * 100.0 - 0.5));
    return base == 0 ? -1 : base;
}

int ZoomedFontHeight(int base, int z)
{
    return static_cast<int>(std::trunc(double(base) * z / 100.0 - 0.5));
}

std::optional<int> FontSizeCommit(const QString &text, int currentHeight)
{
    bool ok = false;
    const int size = text.trimmed().toInt(&ok);
    if (!ok || size <= 0 || size > kMaxFontPixels || size == -currentHeight)
        return std::nullopt;
    return -size;
}

int ZoomFromFontHeight(int height, int base)
{
    if (base == 0)
        return kZoomDefault;
    const double z = std::trunc(double(height) / base * 100.0);
    return static_cast<int>(std::clamp(z, double(kZoomMin), double(kZoomMax)));
}

QString FontSizeText(int height)
{
    return QString::number(-qint64(height));
}

QStringList AddRecentFace(const QStringList &recent, const QString &face)
{
    QStringList out = recent;
    if (face.isEmpty())
        return out;
    out.removeAll(face);
    out.prepend(face);
    while (out.size() > kRecentFaceCount)
        out.removeLast();
    return out;
}
