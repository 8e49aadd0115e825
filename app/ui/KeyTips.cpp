#include "app/ui/KeyTips.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

// A badge with a tip's letters. Not a label: the looks colour the labels inside the ribbon's
// panel, where the badges of a folded group's popup sit, and that would win over the badge's
// own colours; a frame painting its text takes the colour its own style sheet rule gives.
class KeyTipBadge : public QFrame {
public:
    KeyTipBadge(const QString &text, QWidget *parent)
        : QFrame(parent)
        , m_text(text)
    {
        setObjectName(QStringLiteral("KeyTipBadge"));
        setAttribute(Qt::WA_StyledBackground);
    }
    QString text() const { return m_text; }
    QSize sizeHint() const override
    {
        // The style sheet's border and padding around the text.
        const QFontMetrics metrics(font());
        return QSize(metrics.horizontalAdvance(m_text) + 10, metrics.height() + 4);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setPen(
            palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
        painter.drawText(rect(), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

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
    for (const QPointer<KeyTipBadge> &badge : m_badges) {
        if (badge && badge->isVisible())
            tips << badge->text();
    }
    return tips;
}

void KeyTips::clearBadges()
{
    for (const QPointer<KeyTipBadge> &badge : std::as_const(m_badges))
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
        // On the window that shows the control: the frame, or a folded group's popup.
        QWidget *window = tip.widget->window();
        auto *badge = new KeyTipBadge(tip.tip, window);
        badge->setEnabled(tip.widget->isEnabled());
        badge->adjustSize();
        badge->resize(std::max(badge->width(), badge->height()), badge->height());
        // Over the control's lower edge: centred for wide controls, at the left for the
        // small buttons, whose captions stay readable beside the badge.
        const bool wide = tip.widget->width() > 3 * tip.widget->height();
        const QPoint anchor = tip.widget->mapTo(
            window, QPoint(wide ? badge->width() / 2 + 2 : tip.widget->width() / 2, tip.widget->height()));
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

void KeyTips::showControls()
{
    m_level = Level::Controls;
    m_typed.clear();
    show(m_ribbon.controlTips());
}

bool KeyTips::isOwnWindow(const QWidget *window) const
{
    return window == &m_window || m_ribbon.groupOfPopup(window) >= 0;
}

void KeyTips::leave()
{
    m_level = Level::Off;
    m_group = -1;
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
        showControls();
        return;
    }
    if (const int group = m_ribbon.groupOfFoldedButton(widget); group >= 0) {
        m_level = Level::Group;
        m_group = group;
        m_typed.clear();
        m_ribbon.openGroup(group);
        show(m_ribbon.groupTips(group));
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
        else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
            spin->selectAll();
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
    if (type == QEvent::Hide && m_level == Level::Group && watched == m_ribbon.groupPopup(m_group)) {
        // The popup closed under the tips (a click elsewhere, a command given in it).
        leave();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride
        && type != QEvent::MouseButtonPress && type != QEvent::WindowDeactivate)
        return false;
    // Only the frame's own window and the popups of its folded groups (not a dialog or a
    // menu above them) use key tips.
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !isOwnWindow(widget->window()))
        return false;
    if (type == QEvent::WindowDeactivate && m_level == Level::Group)
        return false; // the group's popup took the focus from the frame
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
        if (m_level == Level::Group && m_typed.isEmpty()) {
            QWidget *popup = m_ribbon.groupPopup(m_group);
            m_level = Level::Controls; // first, so that the popup's hiding does not end the tips
            m_group = -1;
            popup->close();
            showControls();
        } else if (m_level == Level::Group) {
            m_typed.clear();
            show(m_ribbon.groupTips(m_group));
        } else if (m_level == Level::Controls && m_typed.isEmpty())
            showTabLevel();
        else if (m_level == Level::Controls)
            showControls();
        else
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
