#pragma once

#include "view/table/CellColors.h"

#include <QString>

#include <span>

// The colours of the two row-colour galleries: a grid of 10 theme colours by 6 tints, and a
// row of standard colours (one set for text, one for backgrounds). Colours are 0x00BBGGRR.

inline constexpr int kThemeGridColumns = 10;
inline constexpr int kThemeGridRows = 6;
inline constexpr int kGalleryCellWidth = 18; // at 96 dpi

struct NamedColour {
    ColorRef colour;
    const char16_t *name; // the tooltip's colour name
};

// The ten base colours of the grid's first row.
std::span<const NamedColour> ThemeBaseColours();
// Standard colours below the second caption: for text (`background` false) or rows.
std::span<const NamedColour> StandardColours(bool background);

// The tint in percent of grid cell (row, column), both from 0: positive lightens towards
// white, negative darkens towards black, 0 is the base colour.
int ThemeGridTint(int row, int column);
// The colour of a grid cell: the base colour of its column with the cell's tint.
ColorRef ThemeGridColour(int row, int column);
// The tooltip of a grid cell: the colour's name, and for a tinted cell
// "、白 ＋ 基本色 40%" (lighter) or "、黒 ＋ 基本色 25%" (darker).
QString ThemeGridTooltip(int row, int column);
// Height of a grid row at 96 dpi: rows 1 and 2 are 16 px, rows 3 to 6 14 px, and the first
// and last row 2 px more, so the grid's top and bottom rows stand apart.
int ThemeGridRowHeight(int row);

// `colour` with its HSL lightness moved by `tint` percent, hue and saturation kept:
// L + (1 - L) * t / 100 for t > 0, L * (1 + t / 100) for t < 0, unchanged for t = 0.
ColorRef TintColour(ColorRef colour, int tint);
