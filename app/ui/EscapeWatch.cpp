#include "app/ui/EscapeWatch.h"

#include "view/widgets/HeldInput.h"

#include <QCoreApplication>

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
    return HoldInputEvent(event, m_pressed) || QObject::eventFilter(watched, event);
}
