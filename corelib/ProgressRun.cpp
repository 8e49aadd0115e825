#include "corelib/ProgressRun.h"

#include <QDateTime>

namespace tessera {

ProgressRun::ProgressRun(ProgressDisplay *display, int textId)
    : m_display(display)
    , m_started(QDateTime::currentSecsSinceEpoch())
{
    if (m_display)
        m_display->beginRun(textId);
}

ProgressRun::~ProgressRun()
{
    finish();
}

void ProgressRun::progress(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    percent(static_cast<int>(qBound(qint64(0), done * 100 / total, qint64(100))));
}

void ProgressRun::percent(int percent)
{
    // Only a change of the whole percent reaches the display: a loop over 100,000 rows
    // repaints the pane a hundred times, not a hundred thousand.
    if (m_ended || !m_display || percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    m_display->setRunPercent(percent);
}

qint64 ProgressRun::finish()
{
    const qint64 elapsed = QDateTime::currentSecsSinceEpoch() - m_started;
    if (!m_ended) {
        m_ended = true;
        if (m_display)
            m_display->endRun();
    }
    return elapsed;
}

} // namespace tessera
