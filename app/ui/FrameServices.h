#pragma once

#include "app/ui/FrameActions.h"
#include "app/ui/ShortcutStore.h"

#include <QObject>

class CQuotraDoc;
class HelpCommand;
class HistoryRecorder;
class Prompts;
class QMenu;
class RibbonBar;
class StatusBarPanes;
class UpdateNotice;
struct AppSettings;
struct CommandCategory;

// The frame's commands that live beside it: help (F1), the About box, the customisation
// sheet with the keyboard shortcuts and quick-access commands it stores, the notice
// after a long update and the price history that every update run adds to.
class FrameServices : public QObject {
    Q_OBJECT
public:
    // What the services use of the window.
    struct Parts {
        QWidget &window; // the dialogs' parent
        CQuotraDoc &document;
        StatusBarPanes &panes;
        AppSettings &settings;
        const CommandActions &actions;
        RibbonBar &ribbon; // its groups and quick-access bar
        QMenu &fileMenu;
        Prompts &prompts;
        QString barStateName; // where the keys and the quick-access bar are stored
        bool unattended = false;
    };
    explicit FrameServices(const Parts &parts, QObject *parent = nullptr);

    HelpCommand &help() const { return *m_help; }
    UpdateNotice &updateNotice() const { return *m_notice; }
    HistoryRecorder &history() const { return *m_history; }

    // The keys of every command as the window uses them now, and their defaults.
    ShortcutMap currentShortcuts() const;
    ShortcutMap defaultShortcuts() const;
    // Gives the commands `keys` (commands not in the map keep theirs).
    void applyShortcuts(const ShortcutMap &keys);
    // Stores the keys with the bar state, for the next start.
    void storeShortcuts() const;

    // The commands on the quick-access bar, left to right; puts exactly `commands` there
    // (buttons of others are hidden, missing ones added); stores them with the bar state.
    QList<int> quickAccessCommands() const;
    void applyQuickAccess(const QList<int> &commands);
    void storeQuickAccess() const;

    // The sheet's categories: the File menu, each ribbon group, all commands.
    QList<CommandCategory> categories() const;
    // 4025: the sheet at page CustomPage, run through the prompts; stores the page it closes
    // on and, when accepted, applies and stores the keys.
    void runCustomiseSheet();

private:
    QAction *action(int id) const { return m_parts.actions.value(id); }

    Parts m_parts;
    HelpCommand *m_help;
    UpdateNotice *m_notice;
    HistoryRecorder *m_history;
};
