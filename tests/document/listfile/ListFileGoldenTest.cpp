// Reading the committed golden files of every list-file version (tests/data/lists, made by
// generate.py there) and writing the current version byte for byte.
#include "document/ListFile.h"

#include "tests/support/QtPrinters.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <QFile>

#include <set>

namespace {

QByteArray readData(const char *name)
{
    QFile f(quotra::test::dataPath(u"lists/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

struct GoldenCase {
    const char *file;
    quint32 version;
    int storedSlots; // 12 for the oldest row form, else 32
    std::set<int> emptied; // slots the reader empties besides 31
    bool hasColours;
    bool coloursReset; // row 7203 stored the system colours and gets the defaults
    bool roeCarStored;
    bool hasHoldings;
    bool hasLayout;
    bool swapped; // slots 4 and 5 came the other way round
};

void PrintTo(const GoldenCase &c, std::ostream *os)
{
    *os << c.file;
}

const GoldenCase kGolden[] = {
    { "v20090227.kabu", 20090227, 12, { 2, 10, 11 }, false, false, false, false, false, false },
    { "v20130210.kabu", 20130210, 12, { 2, 10, 11 }, false, false, false, false, false, false },
    { "v20190620.kabu", 20190620, 12, { 2, 10, 11 }, true, true, false, false, false, false },
    { "v20190701.kabu", 20190701, 12, { 11 }, true, true, false, false, false, false },
    { "v20200801.kabu", 20200801, 12, { 11 }, true, false, false, false, false, false },
    { "v20210320.kabu", 20210320, 12, {}, true, false, false, false, false, false },
    { "v20211020.kabu", 20211020, 32, {}, true, false, false, false, false, false },
    { "v20211101.kabu", 20211101, 32, {}, true, false, false, false, false, false },
    { "v20230601.kabu", 20230601, 32, {}, true, false, false, true, true, false },
    { "v20240409.kabu", 20240409, 32, {}, true, false, true, true, true, false },
    { "v20260714.kabu", 20260714, 32, {}, true, false, true, true, true, true },
    { "v20260716.kabu", 20260716, 32, {}, true, false, true, true, true, false },
};

class GoldenVersion : public ::testing::TestWithParam<GoldenCase> { };

QString expectedSlot(const GoldenCase &c, const QString &code, int slot)
{
    if (slot == SlotStatus || slot >= c.storedSlots || c.emptied.count(slot))
        return {};
    if (!c.roeCarStored && (slot == SlotRoe || slot == SlotCar))
        return {};
    int stored = slot;
    if (c.swapped && slot == SlotDifference)
        stored = SlotRatio;
    else if (c.swapped && slot == SlotRatio)
        stored = SlotDifference;
    return code + u':' + QString::number(stored);
}

TEST_P(GoldenVersion, ReadsEveryField)
{
    const GoldenCase &c = GetParam();
    const QByteArray data = readData(c.file);
    ASSERT_FALSE(data.isEmpty());
    auto list = ReadListFile(data);
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    EXPECT_EQ(list->version, c.version);
    ASSERT_EQ(list->rows.size(), 2u);
    EXPECT_EQ(list->rows.begin()->first, QStringLiteral("6758")); // map order, not file order

    const QString codes[] = { QStringLiteral("7203"), QStringLiteral("6758") };
    for (int index = 0; index < 2; ++index) {
        const QuoteRecord &r = *list->rows.at(codes[index]);
        EXPECT_EQ(r.code, codes[index]);
        EXPECT_EQ(r.datetime, 1700000000 + index);
        EXPECT_TRUE(r.kind.isEmpty());
        EXPECT_EQ(r.exchange_suffix, 0);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (c.version == 20130210 && index == 0 && slot == SlotName)
                continue; // the 8-bit name, checked below
            EXPECT_EQ(r.values[slot], expectedSlot(c, codes[index], slot))
                << "row " << index << " slot " << slot;
        }
        if (!c.hasColours) {
            EXPECT_EQ(r.text_color, -1);
            EXPECT_EQ(r.back_color, -1);
        } else if (index == 1) {
            EXPECT_EQ(r.text_color, 0x0000FF);
            EXPECT_EQ(r.back_color, 0x00FFFF);
        } else if (c.coloursReset) {
            EXPECT_EQ(r.text_color, -1);
            EXPECT_EQ(r.back_color, -1);
        } else {
            EXPECT_EQ(r.text_color, 0x000000);
            EXPECT_EQ(r.back_color, 0xFFFFFF);
        }
        const bool holds = c.hasHoldings && index == 0;
        EXPECT_EQ(r.has_holdings, holds);
        if (holds) {
            EXPECT_EQ(r.buyday, 1600000000);
            EXPECT_EQ(r.amount, 100000.0);
            EXPECT_EQ(r.shares, 100.0);
            EXPECT_EQ(r.loss, 23400.0);
            EXPECT_EQ(r.memo, QStringLiteral("line1\r\nline2"));
        } else {
            EXPECT_TRUE(r.memo.isEmpty());
        }
    }
    EXPECT_EQ(list->layout.has_value(), c.hasLayout);
    if (c.hasLayout && c.version != 20230601) {
        EXPECT_EQ(list->layout->orderList, QStringLiteral("0,1,2,3,"));
        EXPECT_EQ(list->layout->alignList, QStringLiteral("0,0,1,1,"));
        EXPECT_EQ(list->layout->widthList, QStringLiteral("20,80,120,90,"));
        EXPECT_EQ(list->layout->indexList, QStringLiteral("0,1,2,4,"));
        EXPECT_EQ(list->layout->packedSort, PackSort(2, true));
    }
}

TEST_P(GoldenVersion, EveryTruncationFailsCleanly)
{
    const QByteArray data = readData(GetParam().file);
    ASSERT_FALSE(data.isEmpty());
    for (qsizetype n = 0; n < data.size(); ++n) {
        auto list = ReadListFile(QByteArrayView(data).first(n));
        ASSERT_FALSE(list.ok()) << "prefix " << n;
        EXPECT_EQ(list.error().code, ListErrorTruncated) << "prefix " << n;
        EXPECT_TRUE(list.error().message.startsWith(QStringLiteral("offset "))) << "prefix " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(AllVersions, GoldenVersion, ::testing::ValuesIn(kGolden));

TEST(ListFileGolden, EightBitNameIsCp932)
{
    auto list = ReadListFile(readData("v20130210.kabu"));
    ASSERT_TRUE(list.ok());
    // 0x81 0x60 is the wave dash of CP932, U+FF5E.
    EXPECT_EQ(list->rows.at(QStringLiteral("7203"))->values[SlotName], QStringLiteral("トヨタ～自動車"));
}

TEST(ListFileGolden, IndexListMigrationMovesFieldsFrom24Up)
{
    auto moved = ReadListFile(readData("v20230601.kabu"));
    ASSERT_TRUE(moved.ok());
    ASSERT_TRUE(moved->layout);
    EXPECT_EQ(moved->layout->indexList, QStringLiteral("1,2,26,"));
    EXPECT_EQ(moved->layout->orderList, QStringLiteral("0,1,2,"));

    auto kept = ReadListFile(readData("v20230601_unmoved.kabu"));
    ASSERT_TRUE(kept.ok());
    ASSERT_TRUE(kept->layout);
    EXPECT_EQ(kept->layout->indexList, QStringLiteral("1,2,3,"));
}

TEST(ListFileGolden, SystemColoursGiveTheDefaultsOnlyAsAPair)
{
    ListReadOptions options;
    options.windowTextColor = 0x0000FF;
    options.windowColor = 0x00FFFF;
    auto list = ReadListFile(readData("v20190620.kabu"), options);
    ASSERT_TRUE(list.ok());
    const QuoteRecord &first = *list->rows.at(QStringLiteral("7203"));
    EXPECT_EQ(first.text_color, 0x000000);
    EXPECT_EQ(first.back_color, 0xFFFFFF);
    const QuoteRecord &second = *list->rows.at(QStringLiteral("6758"));
    EXPECT_EQ(second.text_color, -1);
    EXPECT_EQ(second.back_color, -1);
}

TEST(ListFileGolden, StoreWritesTheGoldenBytes)
{
    auto list = ReadListFile(readData("v20260716.kabu"));
    ASSERT_TRUE(list.ok());
    ASSERT_TRUE(list->layout);
    EXPECT_EQ(WriteListFile(list->rows, *list->layout), readData("store_current.kabu"));
}

TEST(ListFileGolden, CurrentVersionRoundTrips)
{
    const QByteArray golden = readData("store_current.kabu");
    auto list = ReadListFile(golden);
    ASSERT_TRUE(list.ok());
    ASSERT_TRUE(list->layout);
    EXPECT_EQ(WriteListFile(list->rows, *list->layout), golden);
}

} // namespace
