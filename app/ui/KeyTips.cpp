#include "app/ui/KeyTips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

KeyTips::KeyTips(RibbonBar &ribbon, QWidget &window)
    : QObject(&window)
    , m_ribbon(ribbon)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

KeyTips::~KeyTips()
{
    qApp->removeEventFilter(this);
    clearBadges();
}

QStringList KeyTips::visibleTips() const
{
    QStringList tips;
    for (const QPointer<QLabel> &badge : m_badges) {
        if (badge && badge->isVisible())
            tips << badge->text();
    }
    return tips;
}

void KeyTips::clearBadges()
{
    for (const QPointer<QLabel> &badge : std::as_const(m_badges))
        delete badge.data();
    m_badges.clear();
}

void KeyTips::show(const QList<RibbonBar::KeyTip> &tips)
{
    clearBadges();
    m_shownTips.clear();
    for (const RibbonBar::KeyTip &tip : tips) {
        if (tip.tip.isEmpty() || !tip.widget || !tip.widget->isVisible())
            continue;
        if (!m_typed.isEmpty() && !tip.tip.startsWith(m_typed, Qt::CaseInsensitive))
            continue;
        m_shownTips.append(tip);
        auto *badge = new QLabel(tip.tip, &m_window);
        badge->setObjectName(QStringLiteral("KeyTipBadge"));
        badge->setAlignment(Qt::AlignCenter);
        badge->setEnabled(tip.widget->isEnabled());
        badge->adjustSize();
        badge->resize(std::max(badge->width(), badge->height()), badge->height());
        // Over the control's lower edge: centred for wide controls, at the left for the
        // small buttons, whose captions stay readable beside the badge.
        const bool wide = tip.widget->width() > 3 * tip.widget->height();
        const QPoint anchor = tip.widget->mapTo(
            &m_window, QPoint(wide ? badge->width() / 2 + 2 : tip.widget->width() / 2, tip.widget->height()));
        badge->move(anchor.x() - badge->width() / 2, anchor.y() - badge->height() + 4);
        badge->show();
        badge->raise();
        m_badges.append(badge);
    }
}

void KeyTips::showTabLevel()
{
    m_level = Level::Tab;
    m_typed.clear();
    show(m_ribbon.tabLevelTips());
}

void KeyTips::leave()
{
    m_level = Level::Off;
    m_typed.clear();
    m_shownTips.clear();
    clearBadges();
}

void KeyTips::activate(QWidget *widget)
{
    if (!widget->isEnabled()) {
        // A disabled control's tip is shown dimmed and does nothing.
        return;
    }
    if (widget == m_ribbon.tabWidget()) {
        m_level = Level::Controls;
        m_typed.clear();
        show(m_ribbon.controlTips());
        return;
    }
    leave();
    if (auto *button = qobject_cast<QToolButton *>(widget)) {
        if (button->menu() && button->popupMode() != QToolButton::DelayedPopup)
            button->showMenu();
        else
            button->click();
    } else if (auto *check = qobject_cast<QAbstractButton *>(widget)) {
        check->click();
    } else {
        widget->setFocus(Qt::ShortcutFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->selectAll();
        else if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->isEditable())
            combo->lineEdit()->selectAll();
    }
}

void KeyTips::typed(const QString &letter)
{
    const QString typed = m_typed + letter;
    QList<RibbonBar::KeyTip> candidates;
    for (const RibbonBar::KeyTip &tip : std::as_const(m_shownTips)) {
        if (tip.tip.compare(typed, Qt::CaseInsensitive) == 0) {
            activate(tip.widget);
            return;
        }
        if (tip.tip.startsWith(typed, Qt::CaseInsensitive))
            candidates.append(tip);
    }
    if (candidates.isEmpty())
        return; // a letter no tip has: the badges stay as they are
    m_typed = typed;
    show(candidates);
}

bool KeyTips::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride
        && type != QEvent::MouseButtonPress && type != QEvent::WindowDeactivate)
        return false;
    // Only the frame's own window (not a dialog or a menu above it) uses key tips.
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != &m_window)
        return false;
    if (type == QEvent::MouseButtonPress || type == QEvent::WindowDeactivate) {
        m_altAlone = false;
        if (m_level != Level::Off)
            leave();
        return false;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->isAutoRepeat())
        return m_level != Level::Off;
    if (type == QEvent::KeyPress && key->key() == Qt::Key_Alt && (key->modifiers() & ~Qt::AltModifier) == 0) {
        m_altAlone = true;
        return false;
    }
    if (type == QEvent::KeyRelease && key->key() == Qt::Key_Alt) {
        const bool toggle = m_altAlone;
        m_altAlone = false;
        if (toggle) {
            if (m_level == Level::Off)
                showTabLevel();
            else
                leave();
            return true;
        }
        return false;
    }
    if (type == QEvent::KeyPress)
        m_altAlone = false;
    if (m_level == Level::Off)
        return false;
    // While the tips show, keys go to them and to nothing else.
    if (type == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (type != QEvent::KeyPress)
        return true;
    if (key->key() == Qt::Key_Escape) {
        if (m_level == Level::Controls && m_typed.isEmpty())
            showTabLevel();
        else if (m_level == Level::Controls) {
            m_typed.clear();
            show(m_ribbon.controlTips());
        } else
            leave();
        return true;
    }
    const QString text = key->text();
    if (text.size() == 1 && text.at(0).isLetterOrNumber() && (key->modifiers() & ~Qt::ShiftModifier) == 0) {
        typed(text.toUpper());
        return true;
    }
    leave();
    return false;
}
