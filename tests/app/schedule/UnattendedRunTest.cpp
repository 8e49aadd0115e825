#include "app/core/CronTable.h"
#include "app/core/TaskStore.h"

#include "tests/support/FakeCrontab.h"
#include "tests/support/SampleSite.h"
#include "tests/support/TestPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A registered task's job line, run as cron runs it: cron's "%" handling, then /bin/sh -c
// with cron's bare environment. The site root is the one variable added, as a crontab line
// "QUOTRA_SITE_ROOT=..." would add it.
TEST(UnattendedRun, TheRegisteredCommandUpdatesAndSavesTheList)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--pad-bytes"_s, u"0"_s }));
    QTemporaryDir work(QDir::tempPath() + u"/quotra run %$`'\" XXXXXX"_s);
    ASSERT_TRUE(work.isValid());
    const QString home = work.filePath(u"home"_s);
    ASSERT_TRUE(QDir().mkpath(home));
    const QString listDir = work.filePath(u"my lists"_s);
    const QString outDir = work.filePath(u"out 100%"_s);
    ASSERT_TRUE(QDir().mkpath(listDir));
    ASSERT_TRUE(QDir().mkpath(outDir));
    const QString list = listDir + u"/a.kabu"_s;

    // A list of two codes, written by the command-line front end.
    const QString text = work.filePath(u"codes.txt"_s);
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("7203\n6758\n");
    }
    QByteArray out;
    QByteArray err;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, { u"export"_s, text, list }, out, &err), 0) << err.toStdString();

    FakeCrontab fake;
    const TaskStore store(fake.program());
    const QString program = quotra::test::binPath(u"quotra");
    ASSERT_TRUE(
        store.registerTask(MakeScheduledTask(u"a"_s, 34, 18, 30, true, outDir + u"/"_s, list, program)));
    ScheduledTask read;
    const QList<QByteArray> lines = fake.table().split('\n');
    ASSERT_GE(lines.size(), 2);
    ASSERT_TRUE(CronTable::readJobLine(lines[1], read));
    EXPECT_EQ(read.folder, outDir);
    EXPECT_EQ(read.listFile, list);
    // The command is what follows the five time fields.
    const QString line = QString::fromUtf8(lines[1]);
    const QString command = line.section(u' ', 5);

    QProcess sh;
    sh.setProgram(u"/usr/bin/env"_s);
    sh.setArguments({ u"-i"_s, u"HOME="_s + home, u"PATH=/usr/bin:/bin"_s, u"SHELL=/bin/sh"_s,
        u"QUOTRA_SITE_ROOT="_s + site.root(), u"/bin/sh"_s, u"-c"_s, CronPreparedCommand(command) });
    sh.start();
    ASSERT_TRUE(sh.waitForFinished(60000));
    EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();

    // The unattended run saved a time-stamped copy into the output folder.
    const QStringList saved = QDir(outDir).entryList({ u"*.kabu"_s }, QDir::Files);
    ASSERT_EQ(saved.size(), 1) << sh.readAllStandardError().toStdString();
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, { u"show"_s, QDir(outDir).filePath(saved.first()) }, out, &err), 0)
        << err.toStdString();
    const QString shown = QString::fromUtf8(out);
    EXPECT_TRUE(shown.contains(u"トヨタ自動車"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(u"ソニーグループ"_s)) << shown.toStdString();
}

} // namespace
