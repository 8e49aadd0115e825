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
    switch (ClassifyHeldInput(event)) {
    case HeldInput::Escape:
        m_pressed = true;
        return true;
    case HeldInput::Hold:
        return true;
    case HeldInput::Pass:
        break;
    }
    return QObject::eventFilter(watched, event);
}
