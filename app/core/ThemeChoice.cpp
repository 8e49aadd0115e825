#include "app/core/ThemeChoice.h"

namespace {

constexpr ThemeDef kThemes[] = {
    { kThemeBlue, "OFFICE2007BLUE.DLL", "OFFICE2007BLUE.INI" },
    { kThemeBlack, "OFFICE2007BLACK.DLL", "OFFICE2007BLACK.INI" },
    { kThemeSilver, "OFFICE2007SILVER.DLL", "OFFICE2007SILVER.INI" },
    { kThemeAqua, "OFFICE2007AQUA.DLL", "OFFICE2007AQUA.INI" },
};

QString baseName(const char *name)
{
    const QString n = QString::fromLatin1(name);
    const qsizetype dot = n.lastIndexOf(u'.');
    return dot < 0 ? n : n.left(dot);
}

} // namespace

std::span<const ThemeDef> ThemeTable()
{
    return kThemes;
}

const ThemeDef &ThemeOf(int command)
{
    for (const ThemeDef &def : kThemes) {
        if (def.command == command)
            return def;
    }
    return kThemes[0];
}

int NormalisedTheme(int command)
{
    return ThemeOf(command).command;
}

QString ThemeStyleSheetFile(const ThemeDef &def)
{
    return baseName(def.library) + QStringLiteral(".qss");
}

QString ThemePaletteFile(const ThemeDef &def)
{
    return baseName(def.description) + QStringLiteral(".ini");
}

ThemeState StartThemeState(int stored, bool dark, const ThemeLoadable &loadable)
{
    ThemeState state;
    state.dark = dark;
    // The look to return to is a look too: a stored 0 (never chosen) means the blue one.
    state.remembered = NormalisedTheme(stored);
    state.current = dark ? kDarkTheme : state.remembered;
    if (loadable && !loadable(state.current))
        state.current = kThemeBlue;
    return state;
}

int ChangeDarkMode(ThemeState &state, bool dark)
{
    if (dark == state.dark)
        return 0;
    state.dark = dark;
    if (dark) {
        if (state.current != kDarkTheme)
            state.remembered = state.current;
        if (state.current == kDarkTheme)
            return 0;
        state.current = kDarkTheme;
        return kDarkTheme;
    }
    if (state.remembered == state.current)
        return 0;
    state.current = state.remembered;
    return state.current;
}

bool ThemeCommandEnabled(int command, bool dark)
{
    return !dark || command == kDarkTheme;
}
