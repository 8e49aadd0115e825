#pragma once

#include "view/table/CellColors.h"

#include <QColor>

class QPalette;

// Colours between the table rules (0x00BBGGRR) and Qt.
inline QColor ToQColor(ColorRef c)
{
    return QColor(
        static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}
inline ColorRef FromQColor(const QColor &c)
{
    return static_cast<ColorRef>(c.red()) | (static_cast<ColorRef>(c.green()) << 8)
        | (static_cast<ColorRef>(c.blue()) << 16);
}

// True when the palette's base is dark (a dark theme or the desktop's dark mode).
bool IsDarkPalette(const QPalette &palette);

// The colours the table rules use, from the widget palette: window text and window from the
// list's text and base, the disabled list's button face, the selection, and sort colours
// from its selection colour.
CellPalette CellPaletteFrom(const QPalette &palette);
