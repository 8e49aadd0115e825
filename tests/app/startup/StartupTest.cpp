#include "app/core/Startup.h"
#include "app/core/TaskAddresses.h"
#include "corelib/LanguageModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

// Runs the real program: it must refuse to start without its language module, with the
// message on standard error (headless) and a failure status, and save nothing.

namespace {

QString binDir()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

struct RunResult {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString err;
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        ASSERT_TRUE(QFileInfo::exists(binDir() + QStringLiteral("/quotra")));
    }

    RunResult run(const QString &program, const QStringList &args, const QStringList &extraEnv)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        env.remove(QStringLiteral("QUOTRA_LANG_MODULE"));
        for (const QString &kv : extraEnv) {
            const qsizetype eq = kv.indexOf(QLatin1Char('='));
            env.insert(kv.left(eq), kv.mid(eq + 1));
        }
        p.setProcessEnvironment(env);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return { p.exitCode(), p.exitStatus(), QString::fromUtf8(p.readAllStandardError()) };
    }
    QString settingsFile() const { return m_config.path() + QStringLiteral("/Kestrel/Quotra.conf"); }

    QTemporaryDir m_config;
};

TEST_F(StartupTest, MissingModuleStopsTheProgramWithTheMessage)
{
    const RunResult r = run(binDir() + QStringLiteral("/quotra"), { QStringLiteral("/Auto") },
        { QStringLiteral("QUOTRA_LANG_MODULE=/nonexistent/quotra_ja.rcc") });
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(LanguageNotReadyText())) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(settingsFile())) << "a program without its module saves nothing";
}

TEST_F(StartupTest, ProgramCopiedAwayFromItsModuleRefusesToStart)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const QString copy = elsewhere.filePath(QStringLiteral("quotra"));
    ASSERT_TRUE(QFile::copy(binDir() + QStringLiteral("/quotra"), copy));
    if (QFileInfo::exists(QStringLiteral(QUOTRA_INSTALL_DATADIR "/quotra_ja.rcc")))
        GTEST_SKIP() << "an installed module would be found";
    const RunResult r = run(copy, {}, { QStringLiteral("LD_LIBRARY_PATH=") + binDir() });
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(LanguageNotReadyText())) << r.err.toStdString();
}

TEST_F(StartupTest, GarbageModuleRefusesToStart)
{
    QTemporaryDir dir;
    const QString junk = dir.filePath(QStringLiteral("quotra_ja.rcc"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, '\x01'));
    f.close();
    const RunResult r
        = run(binDir() + QStringLiteral("/quotra"), {}, { QStringLiteral("QUOTRA_LANG_MODULE=") + junk });
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(LanguageNotReadyText()));
}

TEST_F(StartupTest, WithTheModuleAnUnattendedRunSavesTheListAndTheSettings)
{
    QTemporaryDir lists;
    ASSERT_TRUE(lists.isValid());
    const QString list = lists.filePath(QStringLiteral("codes.txt"));
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("7203\n");
    f.close();
    // Nothing listens on port 1: the row's fetch fails at once and the run still saves.
    const RunResult r = run(binDir() + QStringLiteral("/quotra"), { QStringLiteral("/Auto"), list },
        { QStringLiteral("QUOTRA_SITE_ROOT=http://127.0.0.1:1/") });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(LanguageNotReadyText()));
    EXPECT_TRUE(QFileInfo::exists(lists.filePath(QStringLiteral("codes.kabu"))))
        << "a text list is saved as a list file";
    QSettings saved(settingsFile(), QSettings::IniFormat);
    EXPECT_EQ(saved.value(QStringLiteral("4.00/Settings/Version")).toInt(), 56);
    EXPECT_EQ(saved.value(QStringLiteral("4.00/Settings/Current Language")).toInt(), 1041);
}

TEST_F(StartupTest, AnUnattendedRunWithoutAListEndsAtOnceWithAFailure)
{
    const RunResult r = run(binDir() + QStringLiteral("/quotra"), { QStringLiteral("/Auto") }, {});
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty()) << "the reason goes to standard error";
}

// A text list of one code, and what an unattended run would save it as.
struct OneCodeList {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("codes.txt"));
    QString saved = dir.filePath(QStringLiteral("codes.kabu"));
    OneCodeList()
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("7203\n");
    }
};
const QString kNoSite = QStringLiteral("QUOTRA_SITE_ROOT=http://127.0.0.1:1/");

TEST_F(StartupTest, AnUnattendedRunALinkAsksForIsRefusedWithoutAScreen)
{
    const OneCodeList list;
    const RunResult r = run(binDir() + QStringLiteral("/quotra"),
        { QStringLiteral("quotra.kabu:/Auto*") + list.path }, { kNoSite });
    EXPECT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(list.path)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(list.saved));
}

TEST_F(StartupTest, ARegisteredTasksOwnAddressRunsUnattended)
{
    const OneCodeList list;
    const QString token = NewTaskToken();
    const QString address
        = QStringLiteral("quotra.kabu:/Token") + token + QStringLiteral("*/Auto*") + list.path;
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        TaskAddressBook(settings).keep(QStringLiteral("codes"), address);
    }
    // Another token, or the same one on another list, is no registered task.
    QString forged = address;
    forged.replace(token, NewTaskToken());
    for (const QString &other :
        { forged, QString(address).replace(QStringLiteral("codes.txt"), QStringLiteral("x.txt")) }) {
        const RunResult refused = run(binDir() + QStringLiteral("/quotra"), { other }, { kNoSite });
        EXPECT_EQ(refused.exitCode, 1) << other.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(list.saved));

    const RunResult r = run(binDir() + QStringLiteral("/quotra"), { address }, { kNoSite });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(list.saved));
}

TEST_F(StartupTest, AMissingOutputFolderIsAnErrorNotAFallBack)
{
    const OneCodeList list;
    const QString missing = list.dir.filePath(QStringLiteral("out"));
    const RunResult r = run(binDir() + QStringLiteral("/quotra"),
        { QStringLiteral("/Auto"), QStringLiteral("/Folder") + missing, list.path }, { kNoSite });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(missing)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(list.saved)) << "nothing is saved in place instead";
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(StartupTest, AnOutputFolderRemovedDuringTheRunIsNoFallBackEither)
{
    const OneCodeList list;
    const QString out = list.dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    env.insert(QStringLiteral("QUOTRA_SITE_ROOT"), QStringLiteral("http://127.0.0.1:1/"));
    p.setProcessEnvironment(env);
    p.start(binDir() + QStringLiteral("/quotra"),
        { QStringLiteral("/Auto"), QStringLiteral("/Folder") + out, list.path });
    ASSERT_TRUE(p.waitForStarted());
    // The run waits a few seconds before it updates; the folder goes in that time.
    QThread::msleep(1000);
    ASSERT_TRUE(QDir(out).removeRecursively());
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(out));
    EXPECT_FALSE(QFileInfo::exists(list.saved));
}

TEST_F(StartupTest, AFileAddressWhoseEscapesMakeAnotherPathOpensNothing)
{
    const OneCodeList list;
    ASSERT_TRUE(QDir(list.dir.path()).mkdir(QStringLiteral("sub")));
    const QString address
        = QStringLiteral("file://") + list.dir.path() + QStringLiteral("/sub%2F..%2Fcodes.txt");
    const RunResult r
        = run(binDir() + QStringLiteral("/quotra"), { QStringLiteral("/Auto"), address }, { kNoSite });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(address)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(list.saved));
}

TEST(HeadlessPlatform, ChosenOnlyWithoutADisplay)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":0");
    EXPECT_FALSE(SelectHeadlessPlatform());
    qunsetenv("DISPLAY");
    EXPECT_TRUE(SelectHeadlessPlatform());
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("offscreen"));
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_FALSE(SelectHeadlessPlatform()) << "an explicit choice stays";
    qputenv("QT_QPA_PLATFORM", platform);
    qputenv("DISPLAY", display);
    qputenv("WAYLAND_DISPLAY", wayland);
}

} // namespace

TEST(LaunchedFile, FileAddressesBecomePaths)
{
    EXPECT_EQ(
        LaunchedFilePath(QStringLiteral("file:///home/u/a%20b.kabu")), QStringLiteral("/home/u/a b.kabu"));
    EXPECT_EQ(LaunchedFilePath(QStringLiteral("file://localhost/srv/l.kabu")), QStringLiteral("/srv/l.kabu"));
    EXPECT_EQ(LaunchedFilePath(QStringLiteral("/home/u/list.kabu")), QStringLiteral("/home/u/list.kabu"));
    EXPECT_EQ(LaunchedFilePath(QStringLiteral("quotra.kabu:/Auto*/a.kabu")),
        QStringLiteral("quotra.kabu:/Auto*/a.kabu"));
    // A file on another machine is no local path: it stays as given, and opening it fails.
    EXPECT_EQ(LaunchedFilePath(QStringLiteral("file://server/share/l.kabu")),
        QStringLiteral("file://server/share/l.kabu"));
    EXPECT_EQ(LaunchedFilePath(QString()), QString());
}

TEST(LaunchedFile, EscapesNameCharactersWithinOneNameOnly)
{
    const struct {
        const char *address;
        const char16_t *path; // nullptr: refused, the address stays as given
    } cases[] = {
        { "file:///home/u/%E6%97%A5%E6%9C%AC.kabu", u"/home/u/日本.kabu" },
        { "file:///home/u/100%25.kabu", u"/home/u/100%.kabu" },
        { "file:///home/u/a%23b%3F.kabu", u"/home/u/a#b?.kabu" },
        { "file:///home/u/%2E%2E/%2E%2E/etc/x.kabu", nullptr },
        { "file:///home/u/../x.kabu", nullptr },
        { "file:///home/u/./x.kabu", nullptr },
        { "file:///home/u%2F..%2F..%2Fetc%2Fx.kabu", nullptr },
        { "file:///home/u/a%00b.kabu", nullptr },
        { "file:///home/u/a%0Ab.kabu", nullptr },
        { "file:///home/u/%FF%FE.kabu", nullptr },
    };
    for (const auto &c : cases) {
        const QString address = QString::fromLatin1(c.address);
        EXPECT_EQ(LaunchedFilePath(address), c.path ? QString::fromUtf16(c.path) : address) << c.address;
    }
}
