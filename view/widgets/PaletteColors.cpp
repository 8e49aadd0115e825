#include "view/widgets/PaletteColors.h"

#include <QPalette>

bool IsDarkPalette(const QPalette &palette)
{
    return palette.color(QPalette::Active, QPalette::Base).lightness() < 128;
}

CellPalette CellPaletteFrom(const QPalette &palette)
{
    CellPalette p;
    p.windowText = FromQColor(palette.color(QPalette::Active, QPalette::Text));
    p.window = FromQColor(palette.color(QPalette::Active, QPalette::Base));
    p.buttonFace = FromQColor(palette.color(QPalette::Active, QPalette::Button));
    p.selectionText = FromQColor(palette.color(QPalette::Active, QPalette::HighlightedText));
    p.selectionBack = FromQColor(palette.color(QPalette::Active, QPalette::Highlight));
    // The sorted column's tint is the palette's selection colour mixed into its base, so
    // every look tints in its own colour; a selected row's sorted cell shows the tint
    // whole, with the list's text colour.
    const ColorRef base = p.window;
    const ColorRef highlight = p.selectionBack;
    if (IsDarkPalette(palette)) {
        p.sortBack = BlendColor(base, highlight, 60);
        p.sortText = FromQColor(QColor(0xF4, 0xF6, 0xF8));
    } else {
        p.sortBack = BlendColor(base, highlight, 35);
        p.sortText = p.windowText;
    }
    return p;
}
