#pragma once

#include "app/ui/ShortcutStore.h"
#include "view/widgets/Prompts.h"

#include <QDialog>
#include <QList>

class QAction;
class QComboBox;
class QKeySequenceEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// A category of commands: the File menu, a ribbon group, or all commands.
struct CommandCategory {
    QString caption;
    QList<QAction *> actions;
};

// The customisation sheet (4025): a commands page that lists the commands of each category
// with their keys and puts commands on or off the quick-access bar, and a keyboard page
// where any command gets or loses shortcuts. Both are edited on copies; the caller applies
// shortcuts() and quickAccess() when the sheet is accepted. Escape in the key box clears
// the key being typed; elsewhere it closes the sheet.
class CCustomiseDlg : public QDialog {
    Q_OBJECT
public:
    enum Page { CommandsPage = 0, KeyboardPage = 1, PageCount = 2 };

    CCustomiseDlg(const QList<CommandCategory> &categories, const ShortcutMap &current,
        const ShortcutMap &defaults, const QList<int> &quickAccess, int page, QWidget *parent = nullptr,
        Prompts &prompts = DesktopPrompts());

    ShortcutMap shortcuts() const { return m_keys; }
    // The commands of the quick-access bar, in their order.
    QList<int> quickAccess() const { return m_quickAccess; }
    int currentPage() const;
    QTabWidget *pages() const { return m_pages; }
    QKeySequenceEdit *keyEdit() const { return m_keyEdit; }
    QListWidget *currentKeysList() const { return m_currentKeys; }

    // The commands page's work: the command chosen in its list, and the quick-access bar.
    void selectListedCommand(int commandId);
    int listedCommand() const;
    bool addToQuickAccess(int commandId);
    bool removeFromQuickAccess(int commandId);

    // The keyboard page's work.
    void selectCommand(int commandId);
    int selectedCommand() const;
    // Gives the selected command `key`; a key another command has shows message 2105 with
    // that command's caption and is not given. False when nothing changed.
    bool assignKey(const QKeySequence &key);
    // Takes `key` from the selected command.
    bool removeKey(const QKeySequence &key);
    // Every command back to its default keys.
    void resetAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeCommandsPage(const QList<CommandCategory> &categories);
    QWidget *makeKeyboardPage(const QList<CommandCategory> &categories);
    void fillCommandTree(int category);
    void fillKeyboardCommands(int category);
    void showCurrentKeys();
    void refreshKeyTexts();
    void showQuickAccessState();
    int commandOfKey(const QKeySequence &key) const;
    QString captionOf(int commandId) const;

    Prompts &m_prompts;
    QList<CommandCategory> m_categories;
    ShortcutMap m_keys;
    ShortcutMap m_defaults;
    QList<int> m_quickAccess;
    QPushButton *m_addQuick = nullptr;
    QPushButton *m_removeQuick = nullptr;
    QTabWidget *m_pages;
    QListWidget *m_commandCategories = nullptr;
    QTreeWidget *m_commandTree = nullptr;
    QComboBox *m_keyCategory = nullptr;
    QListWidget *m_keyCommands = nullptr;
    QListWidget *m_currentKeys = nullptr;
    QKeySequenceEdit *m_keyEdit = nullptr;
    QPushButton *m_assign = nullptr;
    QPushButton *m_remove = nullptr;
};
