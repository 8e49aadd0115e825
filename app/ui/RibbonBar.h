#pragma once

#include <QIcon>
#include <QList>
#include <QToolButton>
#include <QWidget>

class QAction;
class QBoxLayout;
class QFrame;
class QGridLayout;
class QMenu;

// A ribbon-style command area in plain Qt Widgets: the tab row (the system button that drops
// the File menu, the one tab, quick-access buttons, the help menu and About at the right)
// over one panel of captioned groups. Groups hold large buttons (icon over text, the full
// height) and small ones (icon beside text) stacked three to a column; a control that
// "starts a group" begins a new column after a separator line.
//
// Like an office ribbon, the groups make room when the window is too narrow for them, step
// by step in an order given over all groups: a group's small buttons drop their captions
// (icon only, the caption stays in the tooltip), or the whole group folds. A folded group is
// one button with the group's caption and icon that opens the whole group, its controls
// working, as a popup. Widening the window takes the steps back.
//
// Every control shows a QAction of the frame, so enabling, checking and shortcuts follow the
// command. Each control may carry a key tip, which the KeyTips controller shows as badges.
class RibbonBar : public QWidget {
    Q_OBJECT
public:
    explicit RibbonBar(QWidget *parent = nullptr);

    // The tab row.
    QToolButton *setSystemMenu(const QString &caption, QMenu *menu, const QString &keyTip);
    void setTabCaption(const QString &caption, const QString &keyTip);
    void addQuickAccess(QAction *action);
    QToolButton *addTabRowMenu(const QString &caption, QMenu *menu, const QString &keyTip = QString());
    QToolButton *addTabRowAction(QAction *action, const QString &keyTip = QString());

    // The groups, left to right. `icon` and `foldTip` are those of the group's folded
    // button; `captionsStep` and `foldStep` are the group's places in the order of the steps
    // that make room (0: never).
    void beginGroup(const QString &caption, const QIcon &icon = QIcon(), const QString &foldTip = QString(),
        int captionsStep = 0, int foldStep = 0);
    QToolButton *addLargeButton(QAction *action, const QString &keyTip, bool startsGroup = false);
    QToolButton *addSmallButton(QAction *action, const QString &keyTip, bool startsGroup = false);
    // Any widget (edit box, combo box, check box) in the small-control grid, with a caption
    // at its left when `caption` is not empty.
    // `command` is the command the widget stands for, listed among the group's commands.
    QWidget *addSmallWidget(QWidget *widget, const QString &caption, const QString &keyTip,
        bool startsGroup = false, QAction *command = nullptr);
    void endGroup();

    // The key tips: the tab-level tips (system button, tab, quick access) and the tips of
    // the tab's controls, among them the folded groups' buttons. The controls of a folded
    // group are hidden until its popup shows them; their tips are the group's own level.
    struct KeyTip {
        QString tip;
        QWidget *widget;
    };
    const QList<KeyTip> &tabLevelTips() const { return m_tabTips; }
    const QList<KeyTip> &controlTips() const { return m_controlTips; }
    QWidget *tabWidget() const { return m_tab; }
    QWidget *systemButton() const { return m_systemButton; }

    // ---- Folded groups
    int groupCount() const { return static_cast<int>(m_groupList.size()); }
    QString groupCaption(int group) const { return m_groupList.at(group).caption; }
    bool isFolded(int group) const { return m_groupList.at(group).folded; }
    // The group's small buttons show their captions (false once they dropped them).
    bool showsCaptions(int group) const { return !m_groupList.at(group).compact; }
    QToolButton *foldedButton(int group) const { return m_groupList.at(group).button; }
    QWidget *groupPopup(int group) const { return m_groupList.at(group).popup; }
    // The group whose folded button `widget` is, or -1; the group whose popup it is, or -1.
    int groupOfFoldedButton(const QWidget *widget) const;
    int groupOfPopup(const QWidget *widget) const;
    // The commands of the group's controls, in the order they were added.
    QList<QAction *> groupCommands(int group) const { return m_groupList.at(group).commands; }
    // The quick-access buttons, left to right (hidden ones among them).
    const QList<QToolButton *> &quickAccessButtons() const { return m_quickButtons; }
    // The tips of the group's controls.
    QList<KeyTip> groupTips(int group) const { return m_groupList.at(group).tips; }
    // Opens a folded group's popup below its button; nothing for a group that is not folded.
    void openGroup(int group);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    struct Group {
        QString caption;
        QWidget *slot = nullptr; // the group's place in the panel: the body or the button
        QWidget *body = nullptr; // the controls and the caption
        QToolButton *button = nullptr; // the folded form
        QWidget *popup = nullptr; // where the body goes while folded
        QList<QToolButton *> smallButtons;
        QList<QAction *> commands;
        QList<KeyTip> tips;
        int captionsStep = 0;
        int foldStep = 0;
        bool folded = false;
        bool compact = false;
        // Measured widths: with captions, without them, folded.
        int fullWidth = 0;
        int compactWidth = 0;
        int foldedWidth = 0;
    };

    void layoutRows();
    void fitGroups();
    void measureGroups();
    void setCompact(Group &group, bool compact);
    void setFolded(Group &group, bool folded);
    void refreshHints(Group &group);
    void requestRefit();
    void placeSmall(QWidget *control, bool startsGroup);
    void addGroupControl(QWidget *control, const QString &keyTip);
    void addSeparatorColumn();

    QWidget *m_tabRowWidget;
    QWidget *m_panel;
    QBoxLayout *m_tabRow;
    QBoxLayout *m_quickAccess;
    QBoxLayout *m_tabRowRight;
    QBoxLayout *m_groups;
    QToolButton *m_systemButton = nullptr;
    QToolButton *m_tab = nullptr;
    // The group being filled.
    QWidget *m_group = nullptr;
    QGridLayout *m_groupGrid = nullptr;
    int m_column = 0;
    int m_row = 0;
    QList<Group> m_groupList;
    QList<QWidget *> m_separators; // the lines between the groups
    bool m_fitting = false;
    bool m_measured = false; // the groups' widths are known for the present style and font
    bool m_refitQueued = false;
    int m_fittedWidth = -1;
    QList<QToolButton *> m_quickButtons;
    QList<KeyTip> m_tabTips;
    QList<KeyTip> m_controlTips;
};
