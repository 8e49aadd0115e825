#pragma once

#include "app/ui/RibbonBar.h"

#include <QList>
#include <QObject>
#include <QPointer>

class KeyTipBadge;

// The ribbon's key tips: pressing and releasing Alt alone shows the tab-level tips as
// badges (the system button, the tab, the quick-access buttons); typing one opens the File
// menu, presses the quick-access button or, for the tab, shows the tips of its controls.
// Typing a control's tip (one or two letters, such as "U", "SA" or "S1") triggers it; a
// first letter that several tips share narrows the badges to those. The tip of a folded
// group's button opens the group's popup and shows the tips of its controls there. Escape
// goes back one level; a click or any other key leaves.
class KeyTips : public QObject {
    Q_OBJECT
public:
    enum class Level { Off, Tab, Controls, Group };

    KeyTips(RibbonBar &ribbon, QWidget &window);
    ~KeyTips() override;

    Level level() const { return m_level; }
    // The badges shown (tip texts), for tests.
    QStringList visibleTips() const;
    void showTabLevel();
    void leave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(const QList<RibbonBar::KeyTip> &tips);
    void showControls();
    bool isOwnWindow(const QWidget *window) const;
    void clearBadges();
    void typed(const QString &letter);
    void activate(QWidget *widget);

    RibbonBar &m_ribbon;
    QWidget &m_window;
    Level m_level = Level::Off;
    int m_group = -1; // the folded group whose popup the tips show in (Level::Group)
    QString m_typed;
    bool m_altAlone = false;
    QList<RibbonBar::KeyTip> m_shownTips;
    QList<QPointer<KeyTipBadge>> m_badges;
};
