#include "app/ui/AlertNotifier.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"org.freedesktop.Notifications"_s;
const QString kPath = u"/org/freedesktop/Notifications"_s;
constexpr int kExpireMs = 15000;

} // namespace

QString AlertFiringText(const AlertFiring &firing, const QString &name)
{
    const QString who = name.isEmpty() ? firing.code : firing.code + u' ' + name;
    QString text = tessera::FormatResourceString(Ids::MsgAlertFired,
        { who, AlertConditionText(firing.kind, firing.threshold),
            AlertValueText(firing.kind, firing.value) });
    if (!firing.note.isEmpty())
        text += u" - "_s + firing.note;
    return text;
}

std::vector<AlertNotice> AlertNotices(
    const std::vector<AlertFiring> &firings, const std::function<QString(const QString &code)> &nameOf)
{
    std::vector<AlertNotice> notices;
    if (firings.empty())
        return notices;
    const QString summary = tessera::ResourceString(Ids::CaptionAlertsNotification);
    const auto name = [&](const QString &code) { return nameOf ? nameOf(code) : QString(); };
    if (static_cast<int>(firings.size()) > kAlertNoticesApart) {
        QStringList lines;
        for (const AlertFiring &f : firings)
            lines << AlertFiringText(f, name(f.code));
        notices.push_back({ summary,
            tessera::FormatResourceString(
                Ids::MsgAlertsFired, { QString::number(firings.size()), lines.front() })
                + u'\n' + lines.mid(1).join(u'\n'),
            firings.front().code });
        return notices;
    }
    for (const AlertFiring &f : firings)
        notices.push_back({ summary, AlertFiringText(f, name(f.code)), f.code });
    return notices;
}

AlertNotifier::AlertNotifier(QObject *parent)
    : QObject(parent)
{ }

bool AlertNotifier::available() const
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kService).value();
}

bool AlertNotifier::show(const std::vector<AlertNotice> &notices)
{
    if (!available())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_connected) {
        bus.connect(
            kService, kPath, kService, u"ActionInvoked"_s, this, SLOT(onActionInvoked(uint, QString)));
        bus.connect(
            kService, kPath, kService, u"NotificationClosed"_s, this, SLOT(onNotificationClosed(uint, uint)));
        m_connected = true;
    }
    for (const AlertNotice &n : notices) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, u"Notify"_s);
        // The "default" action is the click on the notification itself.
        call << u"Quotra"_s << uint(0) << u"quotra"_s << n.summary << n.body
             << QStringList { u"default"_s, n.code } << QVariantMap { { u"desktop-entry"_s, u"quotra"_s } }
             << kExpireMs;
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        const QString code = n.code;
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, code](QDBusPendingCallWatcher *w) {
            const QDBusPendingReply<uint> reply = *w;
            if (reply.isValid())
                m_codes.insert(reply.value(), code);
            w->deleteLater();
        });
    }
    return true;
}

void AlertNotifier::onActionInvoked(uint id, const QString &action)
{
    const auto it = m_codes.constFind(id);
    if (it == m_codes.constEnd() || action != u"default"_s)
        return;
    Q_EMIT activated(*it);
}

void AlertNotifier::onNotificationClosed(uint id, uint)
{
    m_codes.remove(id);
}
