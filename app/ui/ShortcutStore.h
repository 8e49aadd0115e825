#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

class QSettings;

// The keyboard shortcuts of the commands, kept with the bar state: one value per command
// under "<bar-state name>/Shortcuts/<command id>", its keys as portable text separated by
// "; " (empty: the command has none). Commands without a stored value keep their defaults.
using ShortcutMap = QHash<int, QList<QKeySequence>>;

ShortcutMap LoadShortcuts(QSettings &store, const QString &barStateName);
// Replaces the stored shortcuts by `shortcuts` (every command the map holds).
void StoreShortcuts(QSettings &store, const QString &barStateName, const ShortcutMap &shortcuts);

// The shortcuts that settings from before version 56 lacked, added to the commands in
// `shortcuts` that have none yet: F2 for the default list, Ctrl+R for the rankings, Space
// for the code box, F9, F10 and F11 for resetting the columns, the schedule and the
// colours; the sum of profit gives up Ctrl+L and takes F4.
inline constexpr int kShortcutSettingsVersion = 56;
void AddOldVersionShortcuts(ShortcutMap &shortcuts);

// The shortcuts of every command at start-up: the defaults, then the stored ones, then the
// old-version additions when the loaded settings are older than version 56.
ShortcutMap StartShortcuts(const ShortcutMap &defaults, const ShortcutMap &stored, int settingsVersion);

// The portable text of a list of keys, and back; unreadable parts are dropped.
QString ShortcutText(const QList<QKeySequence> &keys);
QList<QKeySequence> ShortcutsOfText(const QString &text);
