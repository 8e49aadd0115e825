// Load's dispatch by extension and content, the drop check, and saving through a temporary file.
#include "document/ListLoader.h"
#include "document/SafeSave.h"
#include "document/TextList.h"

#include "corelib/EditString.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class LanguageEnv : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(tessera::LanguageModule::instance().load()); }
};
const auto *const kEnv = ::testing::AddGlobalTestEnvironment(new LanguageEnv);

class ListLoader : public ::testing::Test {
protected:
    QString write(const QString &name, const QByteArray &data)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            ADD_FAILURE() << "cannot write " << path.toStdString();
        return path;
    }
    QByteArray golden() const
    {
        QFile f(quotra::test::dataPath(u"lists/v20260716.kabu"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

struct DispatchCase {
    const char *file;
    bool listContent; // list-file bytes, else a text list
    quint32 version; // 0 for a text list
};

void PrintTo(const DispatchCase &c, std::ostream *os)
{
    *os << c.file;
}

class LoadDispatch : public ListLoader, public ::testing::WithParamInterface<DispatchCase> { };

TEST_P(LoadDispatch, GoesByContentWhateverTheExtension)
{
    const DispatchCase &c = GetParam();
    const QString path = write(QLatin1String(c.file), c.listContent ? golden() : QByteArray("7203\n6758\n"));
    auto list = LoadList(path);
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    EXPECT_EQ(list->version, c.version);
    EXPECT_EQ(list->rows.size(), 2u);
    EXPECT_EQ(list->layout.has_value(), c.listContent);
}

INSTANTIATE_TEST_SUITE_P(Files, LoadDispatch,
    ::testing::Values(DispatchCase { "List.KABU", true, 20260716 },
        DispatchCase { "data.txt", true, 20260716 }, DispatchCase { "noext", true, 20260716 },
        DispatchCase { "a.CSV", false, 0 }, DispatchCase { "b.kabu", false, 0 },
        DispatchCase { "c.json", false, 0 }));

TEST_F(ListLoader, AWorkbookNameOnOtherContentIsRefused)
{
    for (const char *name : { "b.XLSX", "c.xls" }) {
        auto list = LoadList(write(QLatin1String(name), golden()));
        ASSERT_FALSE(list.ok());
        EXPECT_EQ(list.error().code, WorkbookErrorNotWorkbook);
    }
}

TEST_F(ListLoader, FileShorterThanAVersionIsTruncated)
{
    for (const QByteArray &data : { QByteArray(), QByteArray("720") }) {
        auto list = LoadList(write(QStringLiteral("short.txt"), data));
        ASSERT_FALSE(list.ok());
        EXPECT_EQ(list.error().code, ListErrorTruncated);
    }
}

TEST_F(ListLoader, MissingFileIsAnIoError)
{
    auto list = LoadList(m_dir.filePath(QStringLiteral("absent.kabu")));
    ASSERT_FALSE(list.ok());
    EXPECT_EQ(list.error().code, ListErrorIo);
}

TEST_F(ListLoader, TextListErrorNamesTheAbsolutePath)
{
    const QString path = write(QStringLiteral("bad.txt"), QByteArray("7203\nabc\n"));
    auto list = LoadList(path);
    ASSERT_FALSE(list.ok());
    EXPECT_EQ(list.error().code, TextListErrorInvalidCode);
    EXPECT_TRUE(list.error().message.endsWith(QLatin1Char('\n') + QFileInfo(path).absoluteFilePath()));
}

TEST_F(ListLoader, TextListRowsAreDueAfterTheUpdatePeriod)
{
    ListLoadOptions options;
    options.updatePeriodSeconds = 600;
    options.now = 2000000000;
    auto list = LoadList(write(QStringLiteral("a.txt"), QByteArray("7203\n")), options);
    ASSERT_TRUE(list.ok());
    EXPECT_EQ(list->rows.begin()->second->datetime, 2000000000 - 600);
}

// Before the fix a list of a later Quotra fell through to the text-list reader and was
// reported as a file without valid codes.
TEST_F(ListLoader, AListOfALaterVersionSaysSo)
{
    QByteArray data = golden();
    ASSERT_GE(data.size(), 4);
    data.replace(0, 4, QByteArray::fromHex("6d273501")); // 20260717
    const QString path = write(QStringLiteral("later.kabu"), data);
    auto loaded = LoadList(path);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().code, ListErrorNewerVersion);
    EXPECT_EQ(loaded.error().message.toStdString(),
        "written by a newer version of Quotra (list-file version 20260717)");
    auto checked = CheckList(path);
    ASSERT_FALSE(checked.ok());
    EXPECT_EQ(checked.error().code, ListErrorNewerVersion);
}

TEST_F(ListLoader, AFileAboveTheCapIsRefusedBeforeReading)
{
    const QString path = write(QStringLiteral("big.kabu"), golden());
    ListLoadOptions options;
    options.maxFileBytes = golden().size() - 1;
    auto loaded = LoadList(path, options);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().code, ListErrorTooLarge);
    EXPECT_EQ(loaded.error().message.toStdString(),
        QStringLiteral("cannot open %1: the file has %2 bytes, more than a list can have (%3)")
            .arg(path)
            .arg(golden().size())
            .arg(options.maxFileBytes)
            .toStdString());
    EXPECT_EQ(CheckList(path, options).error().code, ListErrorTooLarge);
    options.maxFileBytes = golden().size();
    EXPECT_TRUE(LoadList(path, options).ok()) << "the cap itself is allowed";
}

// The default cap, against a sparse file that takes no room on the disk.
TEST_F(ListLoader, AFileOfGigabytesIsRefused)
{
    const QString path = m_dir.filePath(QStringLiteral("huge.kabu"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.write(golden()) > 0);
    ASSERT_TRUE(f.resize(ListLoadOptions {}.maxFileBytes + 1));
    f.close();
    auto loaded = LoadList(path);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().code, ListErrorTooLarge);
}

// A device reports the size 0 and never ends; opening a named pipe waits for a writer. Both
// were read (until memory ran out, or for ever); now every kind but a regular file is refused
// before it is read, by the open and by the drop check, and the message names the file.
TEST_F(ListLoader, OnlyARegularFileIsRead)
{
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.kabu"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString deviceLink = m_dir.filePath(QStringLiteral("zero.kabu"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), deviceLink));
    const QString folder = m_dir.filePath(QStringLiteral("folder.kabu"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString &path : { QStringLiteral("/dev/zero"), fifo, deviceLink, folder }) {
        SCOPED_TRACE(path.toStdString());
        const QString text
            = tessera::FormatResourceString(Ids::MsgNotRegularFile, { QFileInfo(path).absoluteFilePath() });
        auto loaded = LoadList(path);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().code, ListErrorNotRegularFile);
        EXPECT_EQ(loaded.error().message, text);
        const tessera::Status checked = CheckList(path);
        ASSERT_FALSE(checked.ok());
        EXPECT_EQ(checked.error().code, ListErrorNotRegularFile);
    }
    const QString fileLink = m_dir.filePath(QStringLiteral("link.kabu"));
    ASSERT_TRUE(QFile::link(write(QStringLiteral("target.kabu"), golden()), fileLink));
    EXPECT_TRUE(LoadList(fileLink).ok()) << "a link to a regular file is followed";
}

// Ten million codes took gigabytes; one row beyond the limit is refused in every kind of
// list, with a message naming the file and the limit.
TEST_F(ListLoader, ARowBeyondTheLimitIsRefused)
{
    ListLoadOptions options;
    options.maxRows = 2;
    QByteArray overCount = golden(); // the golden file holds two rows
    overCount[4] = 3;
    struct Case {
        const char *name;
        QByteArray within;
        QByteArray beyond;
    };
    const Case cases[] = {
        { "text.txt", "7203\n6758\n7203\n", "7203\n6758\n9984\n" },
        { "list.kabu", golden(), overCount },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(LoadList(write(QLatin1String(c.name), c.within), options).ok());
        const QString path = write(QLatin1String(c.name), c.beyond);
        auto loaded = LoadList(path, options);
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().code, ListErrorTooManyRows);
        EXPECT_EQ(loaded.error().message,
            tessera::FormatResourceString(
                Ids::MsgTooManyRows, { QFileInfo(path).absoluteFilePath(), QStringLiteral("2") }));
    }
    const QString text = write(QStringLiteral("check.txt"), "1\n2\n3\n");
    EXPECT_EQ(CheckList(text, options).error().code, ListErrorTooManyRows);
    EXPECT_EQ(ListLoadOptions {}.maxRows, 1000000);
    EXPECT_TRUE(tessera::FormatResourceString(
        Ids::MsgTooManyRows, { QStringLiteral("x"), tessera::EditString(1000000) })
                    .contains(QStringLiteral("1,000,000")));
}

TEST_F(ListLoader, CheckAcceptsAListFileOnItsVersionAlone)
{
    QByteArray data = golden().first(4) + QByteArray("garbage");
    EXPECT_TRUE(CheckList(write(QStringLiteral("x.kabu"), data)).ok());
    EXPECT_FALSE(LoadList(write(QStringLiteral("y.kabu"), data)).ok());
    EXPECT_TRUE(CheckList(write(QStringLiteral("z.txt"), QByteArray("7203\n"))).ok());
    EXPECT_FALSE(CheckList(write(QStringLiteral("w.txt"), QByteArray("7203\nabc\n"))).ok());
}

class SafeSave : public ::testing::Test {
protected:
    QByteArray contents(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    }
    QTemporaryDir m_dir;
};

TEST_F(SafeSave, FailedWriterLeavesTheOldFileAndNoTemporary)
{
    const QString path = m_dir.filePath(QStringLiteral("list.kabu"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    auto saved = SaveFileSafely(path, [](QIODevice &device) -> tessera::Status {
        device.write("half of the new");
        return tessera::Error { 42, QStringLiteral("disk full") };
    });
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, 42);
    EXPECT_EQ(contents(path), QByteArray("old contents"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("list.kabu") });
}

TEST_F(SafeSave, SuccessReplacesTheFile)
{
    const QString path = m_dir.filePath(QStringLiteral("list.kabu"));
    for (const char *text : { "first", "second" }) {
        auto saved = SaveFileSafely(path, [text](QIODevice &device) -> tessera::Status {
            device.write(text);
            return tessera::Ok {};
        });
        ASSERT_TRUE(saved.ok());
        EXPECT_EQ(contents(path), QByteArray(text));
    }
}

TEST_F(SafeSave, MissingFolderFailsBeforeWriting)
{
    bool called = false;
    auto saved = SaveFileSafely(m_dir.filePath(QStringLiteral("no/such/list.kabu")), [&](QIODevice &) {
        called = true;
        return tessera::Status(tessera::Ok {});
    });
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, SaveErrorOpen);
    EXPECT_FALSE(called);
}

TEST_F(SafeSave, SavedListFileReadsBack)
{
    auto golden = ReadListFile([] {
        QFile f(quotra::test::dataPath(u"lists/store_current.kabu"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }());
    ASSERT_TRUE(golden.ok());
    const QString path = m_dir.filePath(QStringLiteral("copy.kabu"));
    ASSERT_TRUE(SaveListFile(path, golden->rows, *golden->layout).ok());
    auto again = LoadList(path);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(WriteListFile(again->rows, *again->layout), WriteListFile(golden->rows, *golden->layout));
}

} // namespace
