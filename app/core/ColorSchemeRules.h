#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// How the desktop says it prefers dark colours, read from the places desktops keep it. Each
// reader answers true (dark), false (light) or nothing (it does not say). The readers take
// the text of files the user's desktop wrote: anything unreadable in them is ignored.

// The portal's "color-scheme" value: 1 prefers dark, 2 prefers light, 0 (no preference) and
// anything else say nothing.
std::optional<bool> DarkFromPortalValue(quint32 value);

// GTK's settings.ini: "gtk-application-prefer-dark-theme" true or 1 in [Settings] says dark
// (false or 0 light); failing that, a "gtk-theme-name" that ends in "-dark" (any case) or
// names the ":dark" variant says dark.
std::optional<bool> DarkFromGtkSettings(const QByteArray &ini);

// The GTK_THEME environment value: "Name:dark" says dark, "Name:light" light.
std::optional<bool> DarkFromGtkThemeVariable(const QString &value);

// KDE's kdeglobals: the window background of [Colors:Window] "BackgroundNormal" (r,g,b)
// says dark when its lightness is below the middle; failing that a [General] "ColorScheme"
// whose name contains "dark" says dark.
std::optional<bool> DarkFromKdeGlobals(const QByteArray &ini);

// The value of `key` in `[section]` of INI text; lines of any other form are skipped.
std::optional<QString> IniValue(const QByteArray &ini, const QString &section, const QString &key);
