#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <functional>

// Runs this thread's events until `done` holds or `ms` pass; false on the time-out. For tests
// whose results arrive as queued signals from another thread.
inline bool ProcessEventsUntil(const std::function<bool()> &done, int ms = 30000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}
