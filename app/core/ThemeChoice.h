#pragma once

#include <QString>

#include <functional>
#include <span>

// The four looks of the window, chosen by the theme commands 4001-4004 and stored as the
// command number ("RibbonStyle"). Each look is a pair of files named after its theme
// library and theme description: the style sheet "<library>.qss" and the palette
// "<description>.ini" (OFFICE2007BLUE.qss and OFFICE2007BLUE.ini for the blue look).
// 4002 is the dark look, the only one offered while the desktop is in dark mode.

inline constexpr int kThemeBlue = 4001;
inline constexpr int kThemeBlack = 4002;
inline constexpr int kThemeSilver = 4003;
inline constexpr int kThemeAqua = 4004;
inline constexpr int kDarkTheme = kThemeBlack;

struct ThemeDef {
    int command;
    const char *library; // the theme library's name
    const char *description; // the theme description's name
};

std::span<const ThemeDef> ThemeTable();
// The entry of `command`; any value that is not a theme command gives the blue look's.
const ThemeDef &ThemeOf(int command);
// `command` when it names a theme, else 4001.
int NormalisedTheme(int command);
// The file names of a look: the library's base name with ".qss", the description's base
// name with ".ini".
QString ThemeStyleSheetFile(const ThemeDef &def);
QString ThemePaletteFile(const ThemeDef &def);

// The theme state of the frame: the current look, the look to go back to after dark mode,
// and whether the desktop (or the command line) asks for dark mode.
struct ThemeState {
    int current = kThemeBlue;
    int remembered = kThemeBlue;
    bool dark = false;
};

// True when the look's files can be loaded.
using ThemeLoadable = std::function<bool(int command)>;

// The state at frame creation: the stored look is current and remembered; dark mode makes
// the dark look current; a look that is not a theme command, or whose files cannot be
// loaded, starts as 4001.
ThemeState StartThemeState(int stored, bool dark, const ThemeLoadable &loadable);

// The desktop entered (`dark` true) or left dark mode. Entering remembers the current look
// (unless it is the dark one already) and switches to the dark look; leaving switches back
// to the remembered look. Returns the look to apply, or 0 when the look stays; `state` is
// updated (its `current` too, when a look is to be applied).
int ChangeDarkMode(ThemeState &state, bool dark);

// Whether theme command `command` is enabled: every look normally, only the dark one in
// dark mode.
bool ThemeCommandEnabled(int command, bool dark);
