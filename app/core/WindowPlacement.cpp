#include "app/core/WindowPlacement.h"

#include <cmath>

FirstPlacement FirstWindowPlacement(const QRect &available, qreal dpiX, qreal dpiY)
{
    constexpr int kWidth = 1024;
    constexpr int kHeight = 640;
    const int width = static_cast<int>(std::lround(kWidth * dpiX / 96.0));
    const int height = static_cast<int>(std::lround(kHeight * dpiY / 96.0));
    FirstPlacement placement;
    const int left = available.left() + (available.width() - width) / 2;
    const int top = available.top() + (available.height() - height) / 2;
    placement.geometry = QRect(left, top, width, height);
    placement.maximised = left < available.left() || top < available.top();
    return placement;
}
