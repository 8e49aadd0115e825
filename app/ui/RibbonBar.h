#pragma once

#include <QHash>
#include <QWidget>

class QAction;
class QBoxLayout;
class QGridLayout;
class QLabel;
class QMenu;
#include <QToolButton>

// A ribbon-style command area in plain Qt Widgets: the tab row (the system button that drops
// the File menu, the one tab, quick-access buttons, the help menu and About at the right)
// over one panel of captioned groups. Groups hold large buttons (icon over text, the full
// height) and small ones (icon beside text) stacked three to a column; a control that
// "starts a group" begins a new column after a separator line.
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
    QToolButton *addTabRowAction(QAction *action);

    // The groups, left to right.
    void beginGroup(const QString &caption);
    QToolButton *addLargeButton(QAction *action, const QString &keyTip, bool startsGroup = false);
    QToolButton *addSmallButton(QAction *action, const QString &keyTip, bool startsGroup = false);
    // Any widget (edit box, combo box, check box) in the small-control grid, with a caption
    // at its left when `caption` is not empty.
    QWidget *addSmallWidget(
        QWidget *widget, const QString &caption, const QString &keyTip, bool startsGroup = false);
    void endGroup();

    // The key tips: the tab-level tips (system button, tab, quick access) and the tips of
    // the tab's controls.
    struct KeyTip {
        QString tip;
        QWidget *widget;
    };
    const QList<KeyTip> &tabLevelTips() const { return m_tabTips; }
    const QList<KeyTip> &controlTips() const { return m_controlTips; }
    QWidget *tabWidget() const { return m_tab; }
    QWidget *systemButton() const { return m_systemButton; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;

private:
    void layoutRows();
    void fitGroups();
    void placeSmall(QWidget *control, bool startsGroup);
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
    QList<QList<QToolButton *>> m_smallButtons; // per group
    QList<QWidget *> m_groupWidgets;
    bool m_fitting = false;
    QList<int> m_savings; // per group: how much narrower it gets without captions
    int m_fullWidth = 0;
    qsizetype m_firstCollapsed = -1;
    QList<KeyTip> m_tabTips;
    QList<KeyTip> m_controlTips;
};
