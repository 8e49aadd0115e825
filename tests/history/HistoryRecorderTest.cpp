// Update runs of a document store their successful fetches; a history that cannot be written
// never stops a run and is said once.
#include "history/HistoryRecorder.h"
#include "document/CQuotraDoc.h"
#include "quotes/SecurityCode.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/EventWait.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Fetches that give each code a price of its own; "FAIL" fails.
FetchFactory fakeSite(double base)
{
    return [base](const FetchRun &) {
        return [base](const QString &code, QuoteRecord &result) -> FetchStatus {
            if (code == u"FAIL"_s)
                return FetchStatus::failed(u"HTTP status 404"_s);
            result.code = code;
            result.datetime = QDateTime::currentSecsSinceEpoch();
            result.values.set(SlotPrice, u"%1"_s.arg(base + code.size(), 0, 'f', 1));
            result.values.set(SlotHigh, u"STOP 3,000"_s);
            result.values.set(SlotVolume, u"1,234,500"_s);
            result.values.set(SlotYearHigh, u"1e999"_s);
            result.values.set(SlotOpen, u"---"_s);
            return true;
        };
    };
}

class HistoryRecorderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        RecordMap rows;
        for (const QString &c : { u"7203"_s, u"FAIL"_s, u"^DJI"_s })
            rows.emplace(c, std::make_unique<QuoteRecord>(c));
        doc.replaceRows(std::move(rows));
        doc.setFetchFactory(fakeSite(1000));
    }
    HistoryOptions options(const QString &file) const
    {
        HistoryOptions o;
        o.file = file;
        return o;
    }
    // One run of every row, waited for; true when it ended.
    bool runAll()
    {
        bool finished = false;
        const auto c = QObject::connect(&doc, &CQuotraDoc::updateFinished, &doc, [&] { finished = true; });
        doc.StartUpdate({ u"7203"_s, u"FAIL"_s, u"^DJI"_s });
        const bool ok = ProcessEventsUntil([&] { return finished; });
        QObject::disconnect(c);
        return ok;
    }

    QTemporaryDir m_dir;
    CQuotraDoc doc;
    QStringList reports;
};

TEST_F(HistoryRecorderTest, EachRunStoresItsSuccessfulFetches)
{
    const QString file = m_dir.filePath(u"data/history.sqlite"_s);
    HistoryRecorder recorder(doc, options(file), [this](const QString &t) { reports << t; });
    QStringList storedCodes;
    QObject::connect(&recorder, &HistoryRecorder::stored, [&](const QStringList &c) { storedCodes = c; });
    ASSERT_TRUE(runAll());
    EXPECT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
    EXPECT_EQ(recorder.lastStored(), 2);
    EXPECT_EQ(storedCodes, (QStringList { u"7203"_s, u"^DJI"_s }));

    auto store = HistoryStore::Open(file, HistoryStore::OpenMode::Existing);
    ASSERT_TRUE(store.ok());
    EXPECT_EQ(*(*store)->codes(), (QStringList { u"7203"_s, u"^DJI"_s }))
        << "the failed fetch stores nothing";
    const std::vector<HistoryPoint> points
        = *(*store)->points(u"7203"_s, 0, std::numeric_limits<qint64>::max());
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0].time, doc.record(u"7203"_s)->datetime);
    EXPECT_EQ(points[0].values[HistoryPrice], 1004.0);
    EXPECT_EQ(points[0].values[HistoryHigh], 3000.0) << "the price-limit marker is not part of the number";
    EXPECT_EQ(points[0].values[HistoryVolume], 1234500.0);
    EXPECT_FALSE(points[0].values[HistoryLow].has_value());
    EXPECT_FALSE(points[0].values[HistoryOpen].has_value()) << "\"---\" is no value";
    EXPECT_FALSE(points[0].values[HistoryYearHigh].has_value()) << "nor is a number beyond a double";
    EXPECT_EQ(points[0].pageKind, static_cast<int>(CodeKind::Domestic));
}

TEST_F(HistoryRecorderTest, HistoryOffStoresNothing)
{
    HistoryOptions off = options(m_dir.filePath(u"history.sqlite"_s));
    off.keep = false;
    HistoryRecorder recorder(doc, off, [this](const QString &t) { reports << t; });
    ASSERT_TRUE(runAll());
    EXPECT_FALSE(QFileInfo::exists(off.file));
    EXPECT_TRUE(reports.isEmpty());
}

// The runs go on and update their rows; the user hears of the history once, not per run.
TEST_F(HistoryRecorderTest, AHistoryThatCannotBeWrittenLeavesTheUpdateAloneAndIsSaidOnce)
{
    QString file = u"/proc/self/history.sqlite"_s;
    if (geteuid() != 0) {
        const QString folder = m_dir.filePath(u"locked"_s);
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        file = folder + u"/history.sqlite"_s;
    }
    HistoryRecorder recorder(doc, options(file), [this](const QString &t) { reports << t; });
    ASSERT_TRUE(runAll());
    EXPECT_EQ(doc.record(u"7203"_s)->values[SlotPrice], u"1004.0"_s) << "the run updated its rows";
    doc.setFetchFactory(fakeSite(2000));
    ASSERT_TRUE(runAll());
    EXPECT_EQ(doc.record(u"7203"_s)->values[SlotPrice], u"2004.0"_s);
    ASSERT_TRUE(recorder.lastError().has_value());
    EXPECT_EQ(recorder.lastError()->code, HistoryErrorCannotOpen);
    ASSERT_EQ(reports.size(), 1) << reports.join(u'\n').toStdString();
    EXPECT_TRUE(reports[0].contains(file)) << reports[0].toStdString();
}

} // namespace
