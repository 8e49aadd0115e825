#include "app/core/RankingApply.h"
#include "app/core/RankingEntry.h"
#include "document/CQuotraDoc.h"
#include "view/table/ListTable.h"

#include "tests/support/QtTestEnvironment.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

QString triple(int rank, const QString &code, const QString &name)
{
    return u"{\"rank\":\""_s + QString::number(rank) + u"\",\"stockCode\":\""_s + code
        + u"\",\"stockName\":\""_s + name + u"\",\"savePrice\":\"1\"}"_s;
}

QString rankingPage(const QStringList &entries, const QString &tail = {})
{
    return u"<html><script>window.__PRELOADED_STATE__ = {\"other\":{\"rank\":\"9\",\"stockCode\":\"0000\","
           "\"stockName\":\"before the marker\"},\"mainRankingList\":{\"results\":["_s
        + entries.join(u',') + u"]}}"_s + tail + u"</script></html>"_s;
}

QStringList codesOf(const RankingRows &rows)
{
    QStringList codes;
    for (const auto &r : rows)
        codes << r->code;
    return codes;
}

// ---- The table

TEST(RankingTable, SixRankingsInTheStoredOrder)
{
    const auto entries = RankingEntries();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(QString::fromUtf16(entries[0].title), u"売買代金上位"_s);
    EXPECT_EQ(entries[1].sortField, FieldTradingValue);
    EXPECT_TRUE(entries[1].ascending);
    EXPECT_EQ(entries[3].sortField, FieldRatio);
    EXPECT_TRUE(entries[3].ascending);
    EXPECT_EQ(entries[4].sortField, FieldVolume);
    EXPECT_FALSE(entries[4].ascending);
    EXPECT_EQ(entries[5].sortField, FieldYield);
    EXPECT_EQ(&RankingEntryAt(6), &entries[0]);
    EXPECT_EQ(&RankingEntryAt(-1), &entries[0]);
}

TEST(RankingTable, AddressFollowsTheSiteRoot)
{
    qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:9/x");
    EXPECT_EQ(RankingPageAddress(RankingEntryAt(4)),
        u"http://127.0.0.1:9/x/stocks/ranking/volume?market=all&term=daily"_s);
    qunsetenv("QUOTRA_SITE_ROOT");
    EXPECT_EQ(RankingPageAddress(RankingEntryAt(0)),
        u"https://finance.yahoo.co.jp/stocks/ranking/tradingValueHigh?market=all&term=daily"_s);
}

TEST(RankingTable, TitleFormat)
{
    EXPECT_EQ(RankingTitle(RankingEntryAt(4), 50), u"出来高 50 *"_s);
}

// ---- The page reader

TEST(RankingPageReader, ReadsTriplesInPageOrderAfterTheMarker)
{
    const std::optional<RankingRows> rows = ReadRankingPage(
        rankingPage({ triple(1, u"7203"_s, u"トヨタ"_s), triple(2, u"6758"_s, u"ソニー"_s) }));
    ASSERT_TRUE(rows);
    EXPECT_EQ(codesOf(*rows), (QStringList { u"7203"_s, u"6758"_s }));
    EXPECT_EQ((*rows)[0]->values[SlotName].toString(), u"トヨタ"_s);
    EXPECT_FALSE((*rows)[0]->has_holdings);
    EXPECT_TRUE((*rows)[1]->values.isEmpty(SlotPrice));
}

TEST(RankingPageReader, NoMarkerIsNoSuccess)
{
    EXPECT_FALSE(ReadRankingPage(u"{\"rank\":\"1\",\"stockCode\":\"7203\",\"stockName\":\"a\"}"_s));
    EXPECT_FALSE(ReadRankingPage(u""_s));
    // The marker must carry its colon.
    EXPECT_FALSE(ReadRankingPage(u"\"mainRankingList\" {\"rank\":\"1\"}"_s));
}

TEST(RankingPageReader, MarkerWithoutEntriesIsAnEmptyList)
{
    const std::optional<RankingRows> rows = ReadRankingPage(u"\"mainRankingList\":{\"results\":[]}"_s);
    ASSERT_TRUE(rows);
    EXPECT_TRUE(rows->empty());
}

TEST(RankingPageReader, TruncatedTriplesEndTheReading)
{
    const QString good = triple(1, u"7203"_s, u"a"_s);
    // Each cut-off form of the second entry keeps the first one only.
    const QStringList cutoffs = {
        u"{\"rank\":\"2"_s,
        u"{\"rank\":\"2\",\"stockCode\":\"6758"_s,
        u"{\"rank\":\"2\",\"stockCode\":\"6758\""_s,
        u"{\"rank\":\"2\",\"stockCode\":\"6758\",\"stockName\":\"Sony"_s,
        u"{\"rank\":\"2\",\"stockName\":\"Sony\"}"_s,
    };
    for (const QString &cut : cutoffs) {
        const QString page = u"\"mainRankingList\":["_s + good + u","_s + cut;
        const std::optional<RankingRows> rows = ReadRankingPage(page);
        ASSERT_TRUE(rows) << cut.toStdString();
        EXPECT_EQ(codesOf(*rows), QStringList { u"7203"_s }) << cut.toStdString();
    }
}

TEST(RankingPageReader, EveryPrefixOfAPageReadsCleanly)
{
    const QString page = rankingPage({ triple(1, u"7203"_s, u"a"_s), triple(2, u"6758"_s, u"b"_s) });
    // A longer prefix never reads fewer entries, and each entry appears only once it is whole.
    size_t last = 0;
    for (qsizetype n = 0; n <= page.size(); ++n) {
        const std::optional<RankingRows> rows = ReadRankingPage(QStringView(page).left(n));
        const size_t count = rows ? rows->size() : 0;
        EXPECT_GE(count, last) << n;
        EXPECT_LE(count, 2u);
        last = count;
    }
    EXPECT_EQ(last, 2u);
}

TEST(RankingPageReader, NamesAreUnescaped)
{
    const std::optional<RankingRows> rows = ReadRankingPage(
        rankingPage({ triple(1, u"7203"_s, u"\\u30c8\\u30e8\\u30bf"_s), triple(2, u"6758"_s, u"x\\u12"_s) }));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0]->values[SlotName].toString(), u"トヨタ"_s);
    EXPECT_EQ((*rows)[1]->values[SlotName].toString(), u"x\\u12"_s); // a short escape stays
}

TEST(RankingPageReader, TriplesAfterTheListStillCount)
{
    // The reading runs on to the end of the page while the markers keep following each other.
    const std::optional<RankingRows> rows = ReadRankingPage(
        rankingPage({ triple(1, u"7203"_s, u"a"_s) }, u",\"more\":"_s + triple(9, u"9432"_s, u"c"_s)));
    ASSERT_TRUE(rows);
    EXPECT_EQ(codesOf(*rows), (QStringList { u"7203"_s, u"9432"_s }));
}

// ---- Applying a ranking

// Update runs that fetch nothing from the network: every code gets a price.
FetchFactory pricedFetch()
{
    return [](const FetchRun &) -> FetchFunction {
        return [](const QString &code, QuoteRecord &result) -> FetchStatus {
            result.values.set(SlotPrice, code);
            return true;
        };
    };
}

bool processUntil(const std::function<bool()> &done)
{
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::usleep(200);
    }
    return true;
}

RankingRows rowsOf(const QStringList &codes)
{
    RankingRows rows;
    for (const QString &code : codes) {
        auto row = std::make_unique<QuoteRecord>(code);
        row->values.set(SlotName, u"name "_s + code);
        rows.push_back(std::move(row));
    }
    return rows;
}

class ApplyRankingTest : public testing::Test {
protected:
    void SetUp() override
    {
        doc.setFetchFactory(pricedFetch());
        QObject::connect(
            &doc, &CQuotraDoc::updateStarted, [this](quint64, int total) { batchSizes << total; });
        QObject::connect(&doc, &CQuotraDoc::updateProgress,
            [this](quint64, int, const QString &code) { updated << code; });
    }
    void waitForRun()
    {
        ASSERT_TRUE(processUntil([this] { return !doc.isUpdating(); }));
    }
    CQuotraDoc doc;
    QList<int> batchSizes;
    QStringList updated;
};

TEST_F(ApplyRankingTest, FiftyEntriesTitleTheList)
{
    QStringList codes;
    for (int i = 0; i < 50; ++i)
        codes << QString::number(1300 + i);
    int sortedField = -1;
    bool sortedAscending = true;
    const AppliedRanking applied
        = ApplyRanking(doc, RankingEntryAt(4), rowsOf(codes), [&](int field, bool ascending) {
              sortedField = field;
              sortedAscending = ascending;
          });
    EXPECT_EQ(doc.title(), u"出来高 50 *"_s);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.rows().size(), 50u);
    EXPECT_EQ(applied.added.size(), 50);
    EXPECT_EQ(sortedField, FieldVolume);
    EXPECT_FALSE(sortedAscending);
    waitForRun();
    EXPECT_EQ(batchSizes, QList<int> { 50 });
    EXPECT_EQ(updated.size(), 50);
}

TEST_F(ApplyRankingTest, AListedSecurityKeepsItsHoldingsAndIsUpdated)
{
    RecordMap rows;
    auto held = std::make_unique<QuoteRecord>(u"7203"_s);
    held->values.set(SlotName, u"my name"_s);
    held->has_holdings = true;
    held->shares = 100;
    held->amount = 250000;
    held->memo = u"keep me"_s;
    rows.emplace(u"7203"_s, std::move(held));
    doc.replaceRows(std::move(rows));

    const AppliedRanking applied
        = ApplyRanking(doc, RankingEntryAt(0), rowsOf({ u"6758"_s, u"7203"_s }), nullptr);
    EXPECT_EQ(applied.added, QStringList { u"6758"_s });
    const QuoteRecord *kept = doc.record(u"7203"_s);
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->has_holdings);
    EXPECT_EQ(kept->shares, 100);
    EXPECT_EQ(kept->memo, u"keep me"_s);
    EXPECT_EQ(kept->values[SlotName].toString(), u"my name"_s);
    waitForRun();
    EXPECT_TRUE(updated.contains(u"7203"_s));
    EXPECT_EQ(doc.record(u"7203"_s)->values[SlotPrice].toString(), u"7203"_s);
    EXPECT_EQ(doc.title(), u"売買代金上位 2 *"_s);
}

TEST_F(ApplyRankingTest, ACodeListedTwiceIsInsertedOnceAndCountedTwice)
{
    QStringList inserted;
    QObject::connect(&doc, &CQuotraDoc::rowsInserted, [&](const QStringList &codes) { inserted << codes; });
    const AppliedRanking applied
        = ApplyRanking(doc, RankingEntryAt(2), rowsOf({ u"7203"_s, u"6758"_s, u"7203"_s }), nullptr);
    EXPECT_EQ(inserted, (QStringList { u"7203"_s, u"6758"_s }));
    EXPECT_EQ(doc.rows().size(), 2u);
    EXPECT_EQ(applied.codes, (QStringList { u"7203"_s, u"6758"_s, u"7203"_s }));
    EXPECT_EQ(doc.title(), u"値上がり率 3 *"_s);
    waitForRun();
    EXPECT_EQ(batchSizes, QList<int> { 3 });
}

TEST_F(ApplyRankingTest, AHiddenSortFieldSortsThroughTheOffscreenKey)
{
    RankingRows rows = rowsOf({ u"1111"_s, u"2222"_s, u"3333"_s });
    rows[0]->values.set(SlotYield, u"1.50"_s);
    rows[1]->values.set(SlotYield, u"3.25"_s);
    rows[2]->values.set(SlotYield, u"2.00"_s);
    ListTable table;
    // Only code, name and price shown: the yield is not a column.
    ASSERT_TRUE(table.header().applyLayout(
        ColumnLayout { u"0,1,2,"_s, u"0,0,0,1,"_s, u"0,60,100,80,"_s, u"0,1,2,4,"_s, 1 }));
    ASSERT_LT(table.header().columnOfField(FieldYield), 0);
    ApplyRanking(doc, RankingEntryAt(5), std::move(rows), [&](int field, bool ascending) {
        table.setSortByField(field, ascending);
        table.refresh(doc.rows());
    });
    EXPECT_EQ(table.header().sortColumn(), 0);
    EXPECT_EQ(table.header().offscreenSortKey(), FieldYield);
    EXPECT_FALSE(table.header().ascending());
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.rowRecord(0).code, u"2222"_s);
    EXPECT_EQ(table.rowRecord(1).code, u"3333"_s);
    EXPECT_EQ(table.rowRecord(2).code, u"1111"_s);
    waitForRun();
}

TEST_F(ApplyRankingTest, AShownSortFieldBecomesTheSortedColumn)
{
    ListTable table;
    table.refresh(doc.rows());
    const int column = table.header().columnOfField(FieldVolume);
    ASSERT_GT(column, 0);
    ApplyRanking(doc, RankingEntryAt(4), rowsOf({ u"7203"_s }), [&](int field, bool ascending) {
        table.setSortByField(field, ascending);
        table.refresh(doc.rows());
    });
    EXPECT_EQ(table.header().sortColumn(), column);
    EXPECT_EQ(table.header().offscreenSortKey(), 0);
    waitForRun();
}

} // namespace
