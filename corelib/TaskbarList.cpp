#include "corelib/TaskbarList.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace tessera {

namespace {
constexpr auto kInterface = "com.canonical.Unity.LauncherEntry";
constexpr auto kObjectPath = "/com/kestrel/quotra/LauncherEntry";
} // namespace

TaskbarList::TaskbarList(const QString &desktopId)
    : m_desktopId(desktopId)
{ }

TaskbarList::TaskbarList(Sink sink)
    : m_sink(std::move(sink))
{ }

TaskbarList::~TaskbarList()
{
    if (m_created)
        End();
}

bool TaskbarList::Create()
{
    if (m_sink) {
        m_created = true;
        return true;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString appUri = QLatin1String("application://") + m_desktopId;
    m_sink = [appUri](double progress, bool visible, bool urgent) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QLatin1String(kObjectPath), QLatin1String(kInterface), QStringLiteral("Update"));
        QVariantMap properties;
        properties.insert(QStringLiteral("progress"), progress);
        properties.insert(QStringLiteral("progress-visible"), visible);
        properties.insert(QStringLiteral("urgent"), urgent);
        signal << appUri << properties;
        QDBusConnection::sessionBus().send(signal);
    };
    m_created = true;
    return true;
}

void TaskbarList::show(qint64 value, int state)
{
    // A total of zero or less has no fraction to show; the bar stays at its start.
    double progress = m_total > 0 ? double(value) / double(m_total) : 0.0;
    if (progress < 0.0)
        progress = 0.0;
    if (progress > 1.0)
        progress = 1.0;
    if (state == Indeterminate)
        progress = 0.0;
    m_sink(progress, state != NoProgress, state == Error || state == Paused);
}

void TaskbarList::Start(qint64 value, qint64 total, int state)
{
    if (!m_created)
        return;
    m_total = total;
    show(value, state);
}

void TaskbarList::Grow(qint64 value, int state)
{
    if (!m_created || value >= m_total)
        return;
    show(value, state);
}

void TaskbarList::End()
{
    if (!m_created)
        return;
    m_sink(0.0, false, false);
}

} // namespace tessera
