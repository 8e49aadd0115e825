#include "app/ui/ShortcutStore.h"

#include "app/ui/CommandTable.h"

#include <QSettings>
#include <QStringList>

namespace {

QString groupOf(const QString &barStateName)
{
    return barStateName + QStringLiteral("/Shortcuts");
}

struct OldVersionKey {
    int command;
    QKeyCombination key;
};

// In the order the older versions' settings are brought forward.
const OldVersionKey kOldVersionKeys[] = {
    { Cmd::OpenDefaultList, QKeyCombination(Qt::Key_F2) },
    { Cmd::Ranking, QKeyCombination(Qt::ControlModifier, Qt::Key_R) },
    { Cmd::ProfitSum, QKeyCombination(Qt::Key_F4) },
    { Cmd::CodeBox, QKeyCombination(Qt::Key_Space) },
    { Cmd::ResetColumns, QKeyCombination(Qt::Key_F9) },
    { Cmd::Schedule, QKeyCombination(Qt::Key_F10) },
    { Cmd::ResetColours, QKeyCombination(Qt::Key_F11) },
};

} // namespace

QString ShortcutText(const QList<QKeySequence> &keys)
{
    QStringList parts;
    for (const QKeySequence &k : keys) {
        if (!k.isEmpty())
            parts << k.toString(QKeySequence::PortableText);
    }
    return parts.join(QStringLiteral("; "));
}

QList<QKeySequence> ShortcutsOfText(const QString &text)
{
    QList<QKeySequence> keys;
    for (const QString &part : text.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QKeySequence key = QKeySequence::fromString(part.trimmed(), QKeySequence::PortableText);
        // A part Qt cannot read comes back empty or as an unknown key.
        if (!key.isEmpty() && key[0].key() != Qt::Key_unknown && !keys.contains(key))
            keys << key;
    }
    return keys;
}

ShortcutMap LoadShortcuts(QSettings &reader, const QString &barStateName)
{
    ShortcutMap map;
    reader.beginGroup(groupOf(barStateName));
    const QStringList keys = reader.childKeys();
    for (const QString &key : keys) {
        bool ok = false;
        const int id = key.toInt(&ok);
        if (!ok || !FindCommand(id))
            continue;
        map.insert(id, ShortcutsOfText(reader.value(key).toString()));
    }
    reader.endGroup();
    return map;
}

void StoreShortcuts(QSettings &store, const QString &barStateName, const ShortcutMap &shortcuts)
{
    store.remove(groupOf(barStateName));
    store.beginGroup(groupOf(barStateName));
    for (auto it = shortcuts.cbegin(); it != shortcuts.cend(); ++it)
        store.setValue(QString::number(it.key()), ShortcutText(it.value()));
    store.endGroup();
}

void AddOldVersionShortcuts(ShortcutMap &shortcuts)
{
    // Ctrl+L was the sum of profit's key before F4.
    const QKeySequence ctrlL(QKeyCombination(Qt::ControlModifier, Qt::Key_L));
    if (shortcuts.contains(Cmd::ProfitSum))
        shortcuts[Cmd::ProfitSum].removeAll(ctrlL);
    for (const OldVersionKey &k : kOldVersionKeys) {
        QList<QKeySequence> &keys = shortcuts[k.command];
        if (keys.isEmpty())
            keys << QKeySequence(k.key);
    }
}

ShortcutMap StartShortcuts(const ShortcutMap &defaults, const ShortcutMap &stored, int settingsVersion)
{
    ShortcutMap keys = defaults;
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        keys.insert(it.key(), it.value());
    if (settingsVersion < kShortcutSettingsVersion)
        AddOldVersionShortcuts(keys);
    return keys;
}
