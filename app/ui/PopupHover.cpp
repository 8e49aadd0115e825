#include "app/ui/PopupHover.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QHoverEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

namespace {

// Watches one button: when the button shows or is pressed, the menu it has then gets a
// connection that clears the hover look after the menu hides.
class MenuHoverWatch : public QObject {
public:
    explicit MenuHoverWatch(QToolButton *button)
        : QObject(button)
        , m_button(button)
    {
        button->installEventFilter(this);
        follow();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_button
            && (event->type() == QEvent::Show || event->type() == QEvent::MouseButtonPress))
            follow();
        return false;
    }

private:
    void follow()
    {
        QMenu *menu = m_button->menu();
        if (menu == m_menu)
            return;
        if (m_menu)
            disconnect(m_menu, nullptr, this, nullptr);
        m_menu = menu;
        if (!menu)
            return;
        // After the menu's own hiding, when the pointer's place is final.
        connect(menu, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, m_button, [button = m_button] { ClearStaleHover(button); }); });
    }

    QToolButton *m_button;
    QPointer<QMenu> m_menu;
};

} // namespace

void ClearStaleHover(QWidget *widget)
{
    if (!widget || !widget->testAttribute(Qt::WA_UnderMouse))
        return;
    if (widget->rect().contains(widget->mapFromGlobal(QCursor::pos())))
        return;
    widget->setAttribute(Qt::WA_UnderMouse, false);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
    if (widget->testAttribute(Qt::WA_Hover)) {
        // The sub-control hover of a split button follows hover events.
        const QPointF outside(-1, -1);
        QHoverEvent hoverLeave(QEvent::HoverLeave, outside, widget->mapToGlobal(outside), outside);
        QCoreApplication::sendEvent(widget, &hoverLeave);
    }
    widget->update();
}

void ClearHoverAfterMenus(QToolButton *button)
{
    new MenuHoverWatch(button);
}
