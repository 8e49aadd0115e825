#include "app/ui/AlertNotifier.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

// A notification service that records what it is asked to show.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        QString summary;
        QString body;
        QStringList actions;
    };
    QList<Shown> shown;

public Q_SLOTS:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
        const QStringList &actions, const QVariantMap &, int)
    {
        shown.push_back({ summary, body, actions });
        return static_cast<uint>(shown.size()) + 40;
    }
};

AlertFiring firing(const QString &code, AlertKind kind, double threshold, double value)
{
    return { code, {}, kind, threshold, value, 1'800'000'000 };
}

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(AlertNotices, OnePerFiringOrOneWithTheCountWhenMany)
{
    std::vector<AlertFiring> two { firing(u"7203"_s, AlertKind::Above, 2500, 2512),
        firing(u"6758"_s, AlertKind::FallBy, 5, -5.5) };
    two[1].note = u"sell?"_s;
    const auto names = [](const QString &code) { return code == u"7203"_s ? u"トヨタ"_s : QString(); };
    const std::vector<AlertNotice> apart = AlertNotices(two, names);
    ASSERT_EQ(apart.size(), 2u);
    EXPECT_EQ(apart[0].summary, tessera::ResourceString(Ids::CaptionAlertsNotification));
    EXPECT_EQ(apart[0].body,
        tessera::FormatResourceString(Ids::MsgAlertFired,
            { u"7203 トヨタ"_s, tessera::FormatResourceString(Ids::CaptionAlertAbove, { u"2,500"_s }),
                u"2,512"_s }));
    EXPECT_TRUE(apart[1].body.contains(u"-5.5%"_s)) << apart[1].body.toStdString();
    EXPECT_TRUE(apart[1].body.endsWith(u" - sell?"_s));
    EXPECT_EQ(apart[1].code, u"6758"_s);

    std::vector<AlertFiring> many(5, firing(u"9984"_s, AlertKind::RiseBy, 3, 3.2));
    const std::vector<AlertNotice> grouped = AlertNotices(many, {});
    ASSERT_EQ(grouped.size(), 1u);
    EXPECT_TRUE(grouped[0].body.startsWith(
        tessera::FormatResourceString(Ids::MsgAlertsFired, { u"5"_s, AlertFiringText(many[0], {}) })));
    EXPECT_EQ(grouped[0].body.count(u'\n'), 4);
    EXPECT_TRUE(AlertNotices({}, {}).empty());
}

TEST(AlertNotifier, WithoutAServiceSaysSoAndWithOneAClickNamesTheRow)
{
    const QString daemon = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    if (daemon.isEmpty())
        GTEST_SKIP() << "no dbus-daemon to start a private bus";
    QProcess bus;
    bus.start(daemon, { u"--session"_s, u"--nofork"_s, u"--print-address=1"_s });
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());

    AlertNotifier notifier;
    const std::vector<AlertNotice> notice { { u"s"_s, u"b"_s, u"7203"_s } };
    EXPECT_FALSE(notifier.available());
    EXPECT_FALSE(notifier.show(notice));

    QDBusConnection service = QDBusConnection::connectToBus(address, u"service"_s);
    FakeNotifications fake;
    ASSERT_TRUE(
        service.registerObject(u"/org/freedesktop/Notifications"_s, &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(u"org.freedesktop.Notifications"_s));
    ASSERT_TRUE(notifier.available());
    QSignalSpy clicked(&notifier, &AlertNotifier::activated);
    ASSERT_TRUE(notifier.show(notice));
    ASSERT_TRUE(waitFor([&] { return fake.shown.size() == 1; }));
    EXPECT_EQ(fake.shown[0].summary, u"s"_s);
    EXPECT_EQ(fake.shown[0].actions, (QStringList { u"default"_s, u"7203"_s }));
    QCoreApplication::processEvents(); // the reply with the id

    // Another notification's click and another action are not ours.
    for (const auto &[id, action] :
        { std::pair { 99u, u"default"_s }, { 41u, u"other"_s }, { 41u, u"default"_s } }) {
        QDBusMessage signal = QDBusMessage::createSignal(
            u"/org/freedesktop/Notifications"_s, u"org.freedesktop.Notifications"_s, u"ActionInvoked"_s);
        signal << id << action;
        service.send(signal);
    }
    ASSERT_TRUE(waitFor([&] { return clicked.size() == 1; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked[0][0].toString(), u"7203"_s);

    QDBusConnection::disconnectFromBus(u"service"_s);
    bus.kill();
    bus.waitForFinished();
}

} // namespace

#include "AlertNotifierTest.moc"
