#include "corelib/TaskbarList.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Watches the launcher-entry signals that TaskbarList sends on a private session bus.

namespace {

class Watcher : public QObject {
    Q_OBJECT
public:
    QList<QVariantList> seen;
public Q_SLOTS:
    void onUpdate(const QDBusMessage &m) { seen << m.arguments(); }
};

class LauncherEntryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char *argv[] = { name, nullptr };
        if (!QCoreApplication::instance())
            static QCoreApplication app(argc, argv);
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return;
        s_bus = new QProcess;
        s_bus->start(daemon,
            { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
        if (!s_bus->waitForReadyRead(10000))
            return;
        s_address = QString::fromUtf8(s_bus->readLine()).trimmed();
        qputenv("DBUS_SESSION_BUS_ADDRESS", s_address.toUtf8());
    }
    static void TearDownTestSuite()
    {
        if (s_bus) {
            s_bus->kill();
            s_bus->waitForFinished();
            delete s_bus;
            s_bus = nullptr;
        }
    }
    static void pump(const Watcher &w, qsizetype count)
    {
        QElapsedTimer t;
        t.start();
        while (w.seen.size() < count && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    static inline QProcess *s_bus = nullptr;
    static inline QString s_address;
};

TEST_F(LauncherEntryTest, ProgressTravelsAsLauncherEntryUpdates)
{
    if (s_address.isEmpty())
        GTEST_SKIP() << "no dbus-daemon to start a private bus";
    QDBusConnection watcherBus = QDBusConnection::connectToBus(s_address, QStringLiteral("watcher"));
    ASSERT_TRUE(watcherBus.isConnected());
    Watcher w;
    ASSERT_TRUE(watcherBus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
        QStringLiteral("Update"), &w, SLOT(onUpdate(QDBusMessage))));

    tessera::TaskbarList bar(QStringLiteral("quotra.desktop"));
    ASSERT_TRUE(bar.Create());
    bar.Start(0, 4);
    bar.Grow(1);
    bar.End();
    pump(w, 3);
    ASSERT_EQ(w.seen.size(), 3);
    EXPECT_EQ(w.seen[0].value(0).toString(), QStringLiteral("application://quotra.desktop"));
    const QVariantMap grown = qdbus_cast<QVariantMap>(w.seen[1].value(1));
    EXPECT_DOUBLE_EQ(grown.value(QStringLiteral("progress")).toDouble(), 0.25);
    EXPECT_TRUE(grown.value(QStringLiteral("progress-visible")).toBool());
    const QVariantMap ended = qdbus_cast<QVariantMap>(w.seen[2].value(1));
    EXPECT_FALSE(ended.value(QStringLiteral("progress-visible")).toBool());
    QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
}

} // namespace

#include "LauncherEntryTest.moc"
