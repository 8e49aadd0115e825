// .xls files are read through the reader program: files that crash the parsing library end
// in a damaged-workbook error while this process goes on, and so does a reader that crashes,
// hangs, writes without end or writes nonsense; a missing reader is named.
#include "document/ErrorCodes.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/XlsReader.h"
#include "document/workbook/XlsStream.h"
#include "tests/support/TestPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString dataPath(const QString &name)
{
    return quotra::test::dataPath(u"workbooks/") + name;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList damagedFiles()
{
    const QDir dir(dataPath(u"damaged"_s));
    QStringList files;
    for (const QString &name : dir.entryList({ u"*.xls"_s }, QDir::Files))
        files << dir.filePath(name);
    return files;
}

void expectDamaged(const tessera::Result<WorkbookGrid> &grid, const QString &what)
{
    ASSERT_FALSE(grid.ok()) << what.toStdString();
    EXPECT_EQ(grid.error().code, WorkbookErrorDamaged)
        << what.toStdString() << ": " << grid.error().message.toStdString();
    EXPECT_TRUE(grid.error().message.startsWith(u"the .xls workbook is damaged and cannot be read"_s))
        << grid.error().message.toStdString();
}

// Points the reader lookup at a folder of the test's own for as long as it lives.
class ReaderFolder {
public:
    ReaderFolder()
        : m_old(qgetenv(kXlsReaderDirVariable))
        , m_hadOld(qEnvironmentVariableIsSet(kXlsReaderDirVariable))
    {
        qputenv(kXlsReaderDirVariable, QFile::encodeName(m_dir.path()));
    }
    ~ReaderFolder()
    {
        if (m_hadOld)
            qputenv(kXlsReaderDirVariable, m_old);
        else
            qunsetenv(kXlsReaderDirVariable);
    }
    ReaderFolder(const ReaderFolder &) = delete;
    ReaderFolder &operator=(const ReaderFolder &) = delete;

    QString path() const { return m_dir.path(); }
    // A stand-in reader: a shell script that behaves as the test needs.
    void install(const QByteArray &script) const
    {
        QFile f(m_dir.filePath(QLatin1StringView(kXlsReaderProgram)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + script + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

TEST(XlsGuard, FilesThatCrashTheLibraryAreDamagedWorkbooks)
{
    const QStringList files = damagedFiles();
    ASSERT_EQ(files.size(), 5);
    for (const QString &file : files) {
        expectDamaged(ReadXlsGrid(file), file);
        // The same through the bytes, as the loaders read them.
        expectDamaged(ReadWorkbookGrid(bytesOf(file), file), file);
    }
    // This process is still here and still reads a good file after them.
    const auto good = ReadXlsGrid(dataPath(u"dates.xls"_s));
    ASSERT_TRUE(good.ok()) << good.error().message.toStdString();
    EXPECT_EQ(good->rows, 3);
}

TEST(XlsGuard, ReaderBesideTheProgramsIsFound)
{
    const QString reader = FindXlsReader();
    ASSERT_FALSE(reader.isEmpty()) << XlsReaderFolders().join(u", "_s).toStdString();
    EXPECT_EQ(QFileInfo(reader).fileName(), QLatin1StringView(kXlsReaderProgram));
}

TEST(XlsGuard, ReaderPassesTheLimitsOn)
{
    WorkbookLimits limits;
    limits.maxCells = 3; // dates.xls has more non-empty cells than that
    const auto grid = ReadXlsGrid(dataPath(u"dates.xls"_s), limits);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorTooLarge) << grid.error().message.toStdString();
    limits = {};
    limits.maxColumns = 4; // dates.xls uses five
    const auto narrow = ReadXlsGrid(dataPath(u"dates.xls"_s), limits);
    ASSERT_FALSE(narrow.ok());
    EXPECT_EQ(narrow.error().code, WorkbookErrorNoValues) << narrow.error().message.toStdString();
}

TEST(XlsGuard, FileNamesReachTheReaderUnchanged)
{
    QTemporaryDir dir;
    for (const QString &name : { u"日本 語.xls"_s, u"-max.xls"_s, u"a'b\"c.xls"_s }) {
        const QString copy = dir.filePath(name);
        ASSERT_TRUE(QFile::copy(dataPath(u"dates.xls"_s), copy));
        const auto grid = ReadXlsGrid(copy);
        ASSERT_TRUE(grid.ok()) << name.toStdString() << ": " << grid.error().message.toStdString();
        EXPECT_EQ(grid->rows, 3);
        EXPECT_EQ(grid->at(0, 0).text, u"コード"_s);
    }
}

TEST(XlsGuard, FileThatIsNotThereIsAFailureNotACrash)
{
    QTemporaryDir dir;
    const auto grid = ReadXlsGrid(dir.filePath(u"gone.xls"_s));
    ASSERT_FALSE(grid.ok());
    EXPECT_FALSE(grid.error().message.isEmpty());
}

TEST(XlsGuard, ReaderCalledWronglySaysHowToCallIt)
{
    const QString reader = FindXlsReader();
    ASSERT_FALSE(reader.isEmpty());
    QProcess p;
    p.start(reader, { u"--max-cells"_s, u"x"_s, u"--"_s, u"a.xls"_s });
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(p.readAllStandardError().contains("usage"));
}

TEST(XlsGuardReader, MissingReaderIsNamed)
{
    ReaderFolder empty;
    const auto grid = ReadXlsGrid(dataPath(u"dates.xls"_s));
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorReaderMissing);
    EXPECT_TRUE(grid.error().message.contains(u"the .xls reader quotra-xls-reader is missing"_s))
        << grid.error().message.toStdString();
    EXPECT_TRUE(grid.error().message.contains(empty.path())) << grid.error().message.toStdString();
}

TEST(XlsGuardReader, ReaderThatIsNoProgramIsMissing)
{
    ReaderFolder folder;
    QFile f(folder.path() + u"/quotra-xls-reader"_s);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not executable");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const auto grid = ReadXlsGrid(dataPath(u"dates.xls"_s));
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorReaderMissing);
}

TEST(XlsGuardReader, CrashingReaderIsADamagedWorkbook)
{
    ReaderFolder folder;
    folder.install("kill -SEGV $$");
    expectDamaged(ReadXlsGrid(dataPath(u"dates.xls"_s)), u"segfault"_s);
    folder.install("printf 'QXLS'; kill -ABRT $$");
    expectDamaged(ReadXlsGrid(dataPath(u"dates.xls"_s)), u"abort after output"_s);
}

TEST(XlsGuardReader, FailingReaderIsADamagedWorkbookEvenWithAGoodStream)
{
    ReaderFolder folder;
    const QString good = folder.path() + u"/good.stream"_s;
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteXlsStream(WorkbookGrid {}));
    f.close();
    folder.install("cat '" + QFile::encodeName(good) + "'; exit 3");
    expectDamaged(ReadXlsGrid(dataPath(u"dates.xls"_s)), u"exit 3"_s);
    // The same stream with a clean exit is taken: the difference is the exit code alone.
    folder.install("cat '" + QFile::encodeName(good) + "'");
    const auto grid = ReadXlsGrid(dataPath(u"dates.xls"_s));
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_EQ(grid->rows, 0);
}

TEST(XlsGuardReader, HangingReaderIsStoppedAtItsTimeLimit)
{
    ReaderFolder folder;
    folder.install("exec sleep 60");
    WorkbookLimits limits;
    limits.xlsReaderMilliseconds = 300;
    QElapsedTimer clock;
    clock.start();
    const auto grid = ReadXlsGrid(dataPath(u"dates.xls"_s), limits);
    expectDamaged(grid, u"hang"_s);
    EXPECT_TRUE(grid.error().message.contains(u"longer than"_s)) << grid.error().message.toStdString();
    // Far below the 60 s the stand-in would sleep.
    EXPECT_LT(clock.elapsed(), 30'000);
}

TEST(XlsGuardReader, EndlessOutputIsCutAtWhatTheLimitsAllow)
{
    ReaderFolder folder;
    folder.install("exec cat /dev/zero");
    WorkbookLimits limits;
    limits.maxCells = 1000;
    limits.maxTextUnits = 1000;
    const auto grid = ReadXlsGrid(dataPath(u"dates.xls"_s), limits);
    expectDamaged(grid, u"endless"_s);
    EXPECT_TRUE(grid.error().message.contains(u"more than the limits"_s))
        << grid.error().message.toStdString();
}

TEST(XlsGuardReader, GarbageOrTruncatedOutputIsADamagedWorkbook)
{
    const auto real = ReadXlsGrid(dataPath(u"dates.xls"_s));
    ASSERT_TRUE(real.ok()) << real.error().message.toStdString();
    ReaderFolder folder;
    folder.install("printf 'hello'");
    expectDamaged(ReadXlsGrid(dataPath(u"dates.xls"_s)), u"garbage"_s);
    folder.install("true");
    expectDamaged(ReadXlsGrid(dataPath(u"dates.xls"_s)), u"nothing"_s);
    const QString cut = folder.path() + u"/cut.stream"_s;
    QFile f(cut);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteXlsStream(*real).chopped(1));
    f.close();
    folder.install("cat '" + QFile::encodeName(cut) + "'");
    expectDamaged(ReadXlsGrid(dataPath(u"dates.xls"_s)), u"truncated"_s);
}

} // namespace
