// The history file: its schema and upgrades, one transaction per batch, damaged files and
// files of a newer version.
#include "history/HistoryStore.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "history/HistorySchema.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

HistoryPoint point(const QString &code, qint64 time, double price)
{
    HistoryPoint p;
    p.code = code;
    p.time = time;
    p.values[HistoryPrice] = price;
    p.values[HistoryVolume] = 1000.0 * static_cast<double>(time % 7);
    return p;
}

// A raw connection to a file, for crafting and inspecting it beside the store.
class Raw {
public:
    explicit Raw(const QString &path) { sqlite3_open(QFile::encodeName(path).constData(), &m_db); }
    ~Raw() { sqlite3_close(m_db); }
    bool exec(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    // The first column of the first row as text ("" when there is none).
    QString one(const char *sql)
    {
        sqlite3_stmt *s = nullptr;
        QString out;
        if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        return out;
    }

private:
    sqlite3 *m_db = nullptr;
};

class HistoryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString &name = u"history.sqlite"_s) const { return m_dir.filePath(name); }
    std::unique_ptr<HistoryStore> open(HistoryStore::OpenMode mode = HistoryStore::OpenMode::Create)
    {
        tessera::Result<std::unique_ptr<HistoryStore>> s = HistoryStore::Open(path(), mode, kNow);
        EXPECT_TRUE(s.ok()) << (s.ok() ? std::string() : s.error().message.toStdString());
        return s.ok() ? std::move(*s) : nullptr;
    }
    static qint64 count(HistoryStore &store)
    {
        const tessera::Result<HistoryStats> stats = store.stats();
        return stats ? stats->points : -1;
    }

    const QDateTime kNow = QDateTime(QDate(2026, 12, 9), QTime(14, 5, 7));
    QTemporaryDir m_dir;
};

TEST_F(HistoryStoreTest, ANewFileHasTheCurrentSchemaInKeyOrderWithWriteAheadLogging)
{
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->openedVersion(), 0);
    EXPECT_FALSE(store->readOnly());
    EXPECT_TRUE(store->notices().isEmpty());
    Raw raw(path());
    EXPECT_EQ(raw.one("PRAGMA user_version").toInt(), kHistorySchemaVersion);
    EXPECT_EQ(raw.one("PRAGMA journal_mode"), u"wal"_s);
    const QString table = raw.one("SELECT sql FROM sqlite_schema WHERE name = 'points'");
    EXPECT_TRUE(table.contains(u"WITHOUT ROWID"_s)) << table.toStdString();
    EXPECT_TRUE(table.contains(u"PRIMARY KEY (code, time)"_s)) << table.toStdString();
}

TEST_F(HistoryStoreTest, AStoredCodeAndTimeIsKeptOnceAndRangesReadOldestFirst)
{
    auto store = open();
    ASSERT_TRUE(store);
    HistoryPoint full = point(u"7203"_s, 300, 0);
    for (int i = 0; i < kHistoryValueCount; ++i)
        full.values[static_cast<size_t>(i)] = 10.25 * (i + 1);
    full.pageKind = 2;
    const std::vector<HistoryPoint> batch { point(u"7203"_s, 200, 2300), full, point(u"7203"_s, 100, 2290),
        point(u"6758"_s, 200, 13000) };
    tessera::Result<qint64> added = store->store(batch);
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(*added, 4);
    HistoryPoint changed = point(u"7203"_s, 200, 9999);
    added = store->store(std::vector<HistoryPoint> { changed, point(u"7203"_s, 400, 2400) });
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(*added, 1) << "the point at 200 was stored already";

    tessera::Result<std::vector<HistoryPoint>> read = store->points(u"7203"_s, 200, 400);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read->size(), 3u);
    EXPECT_EQ((*read)[0].time, 200);
    EXPECT_EQ((*read)[0].values[HistoryPrice], 2300.0) << "the first value stays";
    EXPECT_EQ((*read)[1], full) << "every value and the page kind come back";
    EXPECT_EQ((*read)[2].time, 400);
    EXPECT_FALSE((*read)[2].values[HistoryOpen].has_value()) << "a missing value stays missing";

    const tessera::Result<std::vector<HistorySample>> prices
        = store->samples(u"7203"_s, HistoryPrice, 0, 1000);
    ASSERT_TRUE(prices.ok());
    EXPECT_EQ(*prices,
        (std::vector<HistorySample> { { 100, 2290 }, { 200, 2300 }, { 300, 10.25 }, { 400, 2400 } }));
    const tessera::Result<std::vector<HistorySample>> opens = store->samples(u"7203"_s, HistoryOpen, 0, 1000);
    ASSERT_TRUE(opens.ok());
    EXPECT_EQ(*opens, (std::vector<HistorySample> { { 300, 61.5 } }))
        << "points without the value are left out";

    EXPECT_EQ(*store->codes(), (QStringList { u"6758"_s, u"7203"_s }));
    const HistoryStats stats = *store->stats();
    EXPECT_EQ(stats.codes, 2);
    EXPECT_EQ(stats.points, 5);
    EXPECT_GT(stats.bytes, 0);

    tessera::Result<qint64> pruned = store->prune(250);
    ASSERT_TRUE(pruned.ok());
    EXPECT_EQ(*pruned, 3) << "7203 at 100 and 200, 6758 at 200";
    EXPECT_EQ(count(*store), 2);
}

// A file of the first version opens, is upgraded to the current one and keeps its points.
TEST_F(HistoryStoreTest, AFileOfTheFirstVersionIsUpgradedAndKeepsItsPoints)
{
    {
        Raw raw(path());
        ASSERT_TRUE(raw.exec(HistorySchemaSteps()[0].sql));
        ASSERT_TRUE(raw.exec("INSERT INTO points (code, time, kind, price) VALUES ('7203', 100, 0, 2100.5);"
                             "PRAGMA user_version = 1;"));
    }
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->openedVersion(), 1);
    EXPECT_EQ(Raw(path()).one("PRAGMA user_version").toInt(), kHistorySchemaVersion);
    HistoryPoint year = point(u"7203"_s, 200, 2200);
    year.values[HistoryYearHigh] = 2500;
    ASSERT_TRUE(store->store(std::vector<HistoryPoint> { year }).ok());
    const std::vector<HistoryPoint> read = *store->points(u"7203"_s, 0, 1000);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].values[HistoryPrice], 2100.5);
    EXPECT_FALSE(read[0].values[HistoryYearHigh].has_value());
    EXPECT_EQ(read[1].values[HistoryYearHigh], 2500.0);
}

TEST_F(HistoryStoreTest, AFileOfANewerVersionIsOpenedReadOnlyAndLeftAlone)
{
    {
        Raw raw(path());
        ASSERT_TRUE(
            raw.exec("CREATE TABLE points (code TEXT, time INTEGER, kind INTEGER, price REAL, change REAL,"
                     " ratio REAL, volume REAL, turnover REAL, open REAL, high REAL, low REAL,"
                     " year_high REAL, year_low REAL, PRIMARY KEY (code, time)) WITHOUT ROWID;"
                     "INSERT INTO points (code, time, kind, price) VALUES ('7203', 100, 0, 1);"
                     "PRAGMA user_version = 9;"));
    }
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_TRUE(store->readOnly());
    EXPECT_EQ(store->notices(),
        QStringList { tessera::FormatResourceString(Ids::MsgHistoryNewerVersion, { path(), u"9"_s }) });
    const tessera::Result<qint64> refused
        = store->store(std::vector<HistoryPoint> { point(u"7203"_s, 200, 2) });
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().code, HistoryErrorReadOnly);
    EXPECT_EQ(store->points(u"7203"_s, 0, 1000)->size(), 1u) << "its points can still be read";
    store.reset();
    EXPECT_EQ(Raw(path()).one("PRAGMA user_version").toInt(), 9);
    EXPECT_EQ(Raw(path()).one("SELECT count(*) FROM points").toInt(), 1);
}

// A history.sqlite that is no database: random bytes, or the database header followed by
// garbage. Opening to write moves it aside and starts afresh; opening to read refuses it.
TEST_F(HistoryStoreTest, ADamagedFileIsMovedAsideAndANewOneStarted)
{
    QRandomGenerator random(20261209);
    for (const int size : { 37, 4096, 70000 }) {
        for (const bool withHeader : { false, true }) {
            SCOPED_TRACE(size);
            SCOPED_TRACE(withHeader);
            QByteArray bytes(size, Qt::Uninitialized);
            for (char &b : bytes)
                b = static_cast<char>(random.bounded(256));
            if (withHeader)
                bytes.replace(0, 16, QByteArray("SQLite format 3\0", 16));
            {
                QFile file(path());
                ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(bytes);
            }
            const tessera::Result<std::unique_ptr<HistoryStore>> reading
                = HistoryStore::Open(path(), HistoryStore::OpenMode::Existing, kNow);
            if (reading.ok()) {
                ADD_FAILURE() << "random bytes read as a history";
                continue;
            }
            EXPECT_EQ(reading.error().code, HistoryErrorDamaged) << reading.error().message.toStdString();

            auto store = open();
            ASSERT_TRUE(store);
            const QString aside = path() + u".damaged-20261209-140507"_s;
            EXPECT_EQ(store->notices(),
                QStringList { tessera::FormatResourceString(Ids::MsgHistoryDamaged, { path(), aside }) });
            QFile moved(aside);
            ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
            EXPECT_EQ(moved.readAll(), bytes) << "the damaged file is kept as it was";
            moved.close();
            ASSERT_TRUE(store->store(std::vector<HistoryPoint> { point(u"7203"_s, 1, 1) }).ok());
            EXPECT_EQ(count(*store), 1);
            store.reset();
            QFile::remove(aside);
            QFile::remove(path());
        }
    }
}

TEST_F(HistoryStoreTest, AFolderThatCannotBeWrittenGivesAnErrorNotAStore)
{
    // Permission bits do not stop root, so for root the file goes where nobody may create one.
    QString target = u"/proc/self/history.sqlite"_s;
    if (geteuid() != 0) {
        const QString folder = m_dir.filePath(u"locked"_s);
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        target = folder + u"/history.sqlite"_s;
    }
    const tessera::Result<std::unique_ptr<HistoryStore>> s
        = HistoryStore::Open(target, HistoryStore::OpenMode::Create);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, HistoryErrorCannotOpen) << s.error().message.toStdString();
    EXPECT_TRUE(s.error().message.startsWith(target)) << s.error().message.toStdString();

    const tessera::Result<std::unique_ptr<HistoryStore>> missing
        = HistoryStore::Open(path(u"absent.sqlite"_s), HistoryStore::OpenMode::Existing);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, HistoryErrorMissing);
    EXPECT_FALSE(QFileInfo::exists(path(u"absent.sqlite"_s)));
}

// Another program's write transaction holds the file: the store gives up after its short
// wait with a busy error and stores nothing, and the next store after the lock goes works.
TEST_F(HistoryStoreTest, AFileLockedByAnotherWriterIsBusyNotWaitedFor)
{
    auto store = open();
    ASSERT_TRUE(store);
    Raw other(path());
    ASSERT_TRUE(other.exec("BEGIN IMMEDIATE"));
    const tessera::Result<qint64> busy = store->store(std::vector<HistoryPoint> { point(u"7203"_s, 1, 1) });
    ASSERT_FALSE(busy.ok());
    EXPECT_EQ(busy.error().code, HistoryErrorBusy) << busy.error().message.toStdString();
    ASSERT_TRUE(other.exec("ROLLBACK"));
    ASSERT_TRUE(store->store(std::vector<HistoryPoint> { point(u"7203"_s, 1, 1) }).ok());
    EXPECT_EQ(count(*store), 1);
}

// A writer killed in the middle of a batch (its uncommitted pages already spilled into the
// log) leaves a file that opens with none of the batch; one that finishes leaves all of it.
TEST_F(HistoryStoreTest, AWriterKilledInsideABatchLeavesAllOrNoneOfIt)
{
    {
        auto store = open();
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->store(std::vector<HistoryPoint> { point(u"BASE"_s, 1, 1) }).ok());
    }
    constexpr int kBatch = 400000;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<HistoryPoint> batch;
        batch.reserve(kBatch);
        for (int i = 0; i < kBatch; ++i)
            batch.push_back(point(u"C%1"_s.arg(i % 2000), i, i));
        tessera::Result<std::unique_ptr<HistoryStore>> s
            = HistoryStore::Open(path(), HistoryStore::OpenMode::Existing);
        _exit(s.ok() && (*s)->store(batch).ok() ? 0 : 3);
    }
    // Killed once the log has grown well past the one committed point: rows are being written.
    const QString wal = path() + u"-wal"_s;
    QDeadlineTimer deadline(60000);
    while (QFileInfo(wal).size() < 2 * 1024 * 1024 && !deadline.hasExpired()) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            FAIL() << "the writer ended before it could be killed, status " << status;
        QThread::usleep(200);
    }
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was not killed";

    auto after = open();
    ASSERT_TRUE(after);
    const qint64 points = count(*after);
    EXPECT_EQ(points, 1) << "killed before its commit, none of the batch is there";
    EXPECT_TRUE(after->store(std::vector<HistoryPoint> { point(u"BASE"_s, 2, 2) }).ok())
        << "and the file is usable";
}

} // namespace
