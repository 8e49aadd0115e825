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
    if (IsDarkPalette(palette)) {
        // Mixed 40:60 into a dark base this gives a visible blue tint; a selected row's
        // sorted cell shows it whole, with light text.
        p.sortText = FromQColor(QColor(0xF2, 0xF6, 0xFA));
        p.sortBack = FromQColor(QColor(0x2E, 0x5C, 0x8A));
    } else {
        p.sortText = FromQColor(QColor(0x10, 0x20, 0x30));
        p.sortBack = FromQColor(QColor(0xA9, 0xCB, 0xEE));
    }
    return p;
}
