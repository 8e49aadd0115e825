#pragma once

#include "corelib/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The palette half of a look: an INI text with the colour of each palette role.
//
//   ; comment
//   [Palette]          colours for every state
//   Window = #dfe9f5
//   [Disabled]         colours of disabled widgets, over [Palette]
//   Text = #8d9db3
//   [Inactive]         colours of inactive windows, over [Palette]
//
// Role names are those of the widget palette (Window, WindowText, Base, AlternateBase,
// ToolTipBase, ToolTipText, PlaceholderText, Text, Button, ButtonText, BrightText, Light,
// Midlight, Dark, Mid, Shadow, Highlight, HighlightedText, Link, LinkVisited); colours are
// "#rrggbb". Anything else is an error, so that a broken look is never half applied.
struct ThemePalette {
    enum Group { All, Disabled, Inactive };
    struct Entry {
        Group group;
        QString role;
        quint32 rgb; // 0xRRGGBB
        bool operator==(const Entry &) const = default;
    };
    QList<Entry> entries;
};

enum ThemePaletteError {
    ThemePaletteErrorSection = 1, // a section that is not one of the three
    ThemePaletteErrorSyntax, // a line that is neither a section, a comment nor key = value
    ThemePaletteErrorRole, // an unknown role
    ThemePaletteErrorColour, // a value that is not #rrggbb
    ThemePaletteErrorEmpty, // no colour at all
    ThemePaletteErrorTooLarge,
};

// The palette of INI text `text`; `name` names the file in error messages.
tessera::Result<ThemePalette> ParseThemePalette(const QByteArray &text, const QString &name);

// The palette roles by name, in the order the widget palette numbers them.
const QList<QString> &ThemePaletteRoles();
