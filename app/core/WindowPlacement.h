#pragma once

#include <QRect>

// Where the main window goes at its first start (no stored geometry): 1024 x 640 at 96 dpi,
// scaled by the screen's dpi / 96, centred on the available area of the primary screen;
// maximised when that does not fit (an edge would come out left of or above the screen).
struct FirstPlacement {
    QRect geometry;
    bool maximised = false;
};

FirstPlacement FirstWindowPlacement(const QRect &available, qreal dpiX, qreal dpiY);
