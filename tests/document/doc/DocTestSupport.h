#pragma once

#include "quotes/worker/UpdateJob.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QThread>

#include <functional>
#include <map>

// Runs the event loop until `done` holds or 10 s pass.
inline bool processUntil(const std::function<bool()> &done)
{
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::usleep(200);
    }
    return true;
}

// An in-memory quote site for the document's update runs: each known code's price, and
// codes that fail. Thread-safe, since runs fetch on the worker thread.
class FakeSite {
public:
    void setPrice(const QString &code, const QString &price)
    {
        QMutexLocker lock(&m_mutex);
        m_prices[code] = price;
    }
    void setPrevClose(const QString &code, const QString &close)
    {
        QMutexLocker lock(&m_mutex);
        m_closes[code] = close;
    }
    int requests() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    // Fetches hold before answering while held (to stop or delete rows mid-run); a held
    // fetch that sees the stop flag fails like an aborted transfer.
    void setHold(bool hold)
    {
        QMutexLocker lock(&m_mutex);
        m_hold = hold;
    }
    // Holds every fetch after the first `count` ones.
    void setHoldAfter(int count)
    {
        QMutexLocker lock(&m_mutex);
        m_holdAfter = count;
    }

    FetchFactory factory()
    {
        return [this](const FetchRun &run) -> FetchFunction {
            return [this, stop = run.stop](const QString &code, QuoteRecord &result) -> FetchStatus {
                for (;;) {
                    {
                        QMutexLocker lock(&m_mutex);
                        if (!m_hold && m_started < m_holdAfter)
                            break;
                    }
                    if (stop->load())
                        return false;
                    QThread::usleep(200);
                }
                QMutexLocker lock(&m_mutex);
                ++m_started;
                ++m_requests;
                const auto it = m_prices.find(code);
                if (it == m_prices.end())
                    return FetchStatus::failed(QStringLiteral("HTTP status 404"));
                result.values.set(SlotName, u"name " + code);
                result.values.set(SlotPrice, it->second);
                result.values.set(SlotPrevClose, m_closes.count(code) ? m_closes.at(code) : QString());
                return true;
            };
        };
    }

private:
    mutable QMutex m_mutex;
    std::map<QString, QString> m_prices;
    std::map<QString, QString> m_closes;
    int m_requests = 0;
    bool m_hold = false;
    int m_holdAfter = 1 << 30;
    int m_started = 0;
};
