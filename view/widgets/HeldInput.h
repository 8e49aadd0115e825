#pragma once

#include <QEvent>
#include <QKeyEvent>

// What a wait on the user-interface thread does with an event while it holds the user's input
// back, so that no command starts inside the wait: painting, timers and the program's own window
// changes go on; keys, clicks, wheel turns and drops wait; an Escape press is noted.
enum class HeldInput { Pass, Hold, Escape };

inline HeldInput ClassifyHeldInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return static_cast<const QKeyEvent *>(event)->key() == Qt::Key_Escape ? HeldInput::Escape
                                                                              : HeldInput::Hold;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return HeldInput::Hold;
    case QEvent::Close:
        // The window manager's close button waits; a window the program closes itself (a
        // tooltip, a popup) closes.
        return event->spontaneous() ? HeldInput::Hold : HeldInput::Pass;
    default:
        return HeldInput::Pass;
    }
}

// For an event filter: true when the event is held back; an Escape press also raises `escape`
// (a bool or an atomic flag).
template<typename Flag> bool HoldInputEvent(const QEvent *event, Flag &escape)
{
    switch (ClassifyHeldInput(event)) {
    case HeldInput::Escape:
        escape = true;
        return true;
    case HeldInput::Hold:
        return true;
    case HeldInput::Pass:
        break;
    }
    return false;
}
