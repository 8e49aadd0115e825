#include "app/ui/FrameServices.h"

#include "app/core/AppSettings.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CCustomiseDlg.h"
#include "app/ui/CommandTable.h"
#include "app/ui/HelpCommand.h"
#include "app/ui/RibbonBar.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateNotice.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "history/HistoryRecorder.h"
#include "view/widgets/Prompts.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QToolButton>

#include <cstdio>

namespace {

void appendOnce(QList<QAction *> &actions, QAction *a)
{
    if (a && a->data().toInt() != 0 && FindCommand(a->data().toInt()) && !actions.contains(a))
        actions << a;
}

// Where the history's one message goes: the status bar, or standard error in an unattended
// run, which nobody watches and which must never wait for a box.
HistoryRecorder::Reporter historyReporter(bool unattended, StatusBarPanes &panes)
{
    if (unattended)
        return [](const QString &text) { std::fprintf(stderr, "Quotra: %s\n", text.toUtf8().constData()); };
    return [&panes](const QString &text) { panes.showMessage(text); };
}

} // namespace

FrameServices::FrameServices(const Parts &parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
    , m_help(new HelpCommand(this, parts.prompts))
    , m_notice(new UpdateNotice(parts.document, parts.panes, parts.unattended, this))
    , m_history(new HistoryRecorder(parts.document, parts.settings.historyOptions(),
          historyReporter(parts.unattended, parts.panes), this))
{
    connect(action(Cmd::Help), &QAction::triggered, this, [this] { m_help->showForFocus(); });
    connect(action(Cmd::About), &QAction::triggered, this,
        [this] { RunAboutBox(&m_parts.window, m_parts.prompts); });
    connect(action(Cmd::Customise), &QAction::triggered, this, &FrameServices::runCustomiseSheet);

    QSettings store;
    const ShortcutMap stored = LoadShortcuts(store, m_parts.barStateName);
    applyShortcuts(StartShortcuts(defaultShortcuts(), stored, m_parts.settings.version));
    const QString quickKey = m_parts.barStateName + QStringLiteral("/QuickAccess");
    if (store.contains(quickKey)) {
        QList<int> commands;
        for (const QString &id : store.value(quickKey).toString().split(u',', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int n = id.trimmed().toInt(&ok);
            if (ok && FindCommand(n) && !commands.contains(n))
                commands << n;
        }
        applyQuickAccess(commands);
    }
}

QList<int> FrameServices::quickAccessCommands() const
{
    QList<int> commands;
    for (const QToolButton *b : m_parts.ribbon.quickAccessButtons()) {
        if (!b->isHidden() && b->defaultAction())
            commands << b->defaultAction()->data().toInt();
    }
    return commands;
}

void FrameServices::applyQuickAccess(const QList<int> &commands)
{
    const QList<QToolButton *> buttons = m_parts.ribbon.quickAccessButtons();
    QList<int> present;
    for (QToolButton *b : buttons) {
        const int id = b->defaultAction() ? b->defaultAction()->data().toInt() : 0;
        b->setHidden(!commands.contains(id));
        present << id;
    }
    for (const int id : commands) {
        if (!present.contains(id) && action(id))
            m_parts.ribbon.addQuickAccess(action(id));
    }
}

void FrameServices::storeQuickAccess() const
{
    QStringList ids;
    for (const int id : quickAccessCommands())
        ids << QString::number(id);
    QSettings store;
    store.setValue(m_parts.barStateName + QStringLiteral("/QuickAccess"), ids.join(u','));
}

ShortcutMap FrameServices::defaultShortcuts() const
{
    ShortcutMap keys;
    for (const CommandDef &def : CommandTable())
        keys.insert(def.id, DefaultShortcuts(def));
    return keys;
}

ShortcutMap FrameServices::currentShortcuts() const
{
    ShortcutMap keys;
    for (const CommandDef &def : CommandTable()) {
        if (const QAction *a = action(def.id))
            keys.insert(def.id, a->shortcuts());
    }
    return keys;
}

void FrameServices::applyShortcuts(const ShortcutMap &keys)
{
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        QAction *a = action(it.key());
        if (!a)
            continue;
        a->setShortcuts(it.value());
        a->setToolTip(CommandToolTip(it.key(), a->text(), it.value()));
    }
}

void FrameServices::storeShortcuts() const
{
    QSettings store;
    StoreShortcuts(store, m_parts.barStateName, currentShortcuts());
}

QList<CommandCategory> FrameServices::categories() const
{
    QList<CommandCategory> list;
    {
        // Named apart from the ribbon's group of the same caption, which holds only some of
        // the menu's commands.
        CommandCategory c { tessera::ResourceString(Ids::CaptionFileMenuCategory), {} };
        for (QAction *a : m_parts.fileMenu.actions())
            appendOnce(c.actions, a);
        list << c;
    }
    const RibbonBar &ribbon = m_parts.ribbon;
    for (int group = 0; group < ribbon.groupCount(); ++group) {
        CommandCategory c { ribbon.groupCaption(group), {} };
        for (QAction *a : ribbon.groupCommands(group))
            appendOnce(c.actions, a);
        if (!c.actions.isEmpty())
            list << c;
    }
    CommandCategory all { tessera::ResourceString(Ids::CaptionAllCommands), {} };
    for (const CommandDef &def : CommandTable())
        appendOnce(all.actions, action(def.id));
    list << all;
    return list;
}

void FrameServices::runCustomiseSheet()
{
    AppSettings &settings = m_parts.settings;
    CCustomiseDlg sheet(categories(), currentShortcuts(), defaultShortcuts(), quickAccessCommands(),
        settings.customPage, &m_parts.window, m_parts.prompts);
    const int result = m_parts.prompts.exec(sheet);
    settings.customPage = sheet.currentPage();
    if (result != QDialog::Accepted)
        return;
    applyShortcuts(sheet.shortcuts());
    storeShortcuts();
    applyQuickAccess(sheet.quickAccess());
    storeQuickAccess();
}
