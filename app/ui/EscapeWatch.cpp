#include "app/ui/EscapeWatch.h"

#include <QCoreApplication>
#include <QKeyEvent>

EscapeWatch::EscapeWatch()
{
    QCoreApplication::instance()->installEventFilter(this);
}

EscapeWatch::~EscapeWatch()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

bool EscapeWatch::pressedSinceLastCheck()
{
    QCoreApplication::processEvents();
    const bool pressed = m_pressed;
    m_pressed = false;
    return pressed;
}

bool EscapeWatch::askWithInput(const std::function<bool()> &ask)
{
    QCoreApplication::instance()->removeEventFilter(this);
    const bool answer = ask();
    QCoreApplication::instance()->installEventFilter(this);
    return answer;
}

bool EscapeWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            m_pressed = true;
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Close:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
