#include "quotes/parsers/PageParsers.h"

#include "tests/quotes/parsers/ParserTestUtil.h"
#include "tests/support/TestPaths.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

QString readPage(const QString &name)
{
    QFile file(quotra::test::dataPath(u"pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

TEST(PageFiles, DomesticStock)
{
    const QString page = readPage(u"domestic_stock_7203.html"_s);
    ASSERT_FALSE(page.isEmpty());
    QuoteRecord r = FreshResult();
    ParseDomesticStockPage(page, r);
    EXPECT_EQ(r.kind, u"stock"_s);
    EXPECT_EQ(r.values[SlotName], u"トヨタ自動車(株)"_s);
    EXPECT_EQ(r.values[SlotDifference], u"+12.5"_s);
    EXPECT_EQ(r.values[SlotHigh], u"2,990"_s);
    EXPECT_EQ(r.values[SlotMarginSellChange], u"+4,500"_s);
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(r.values[size_t(slot)].isEmpty(), slot == SlotStatus) << "slot " << slot;
}

TEST(PageFiles, DomesticEtfAtLimit)
{
    const QString page = readPage(u"domestic_etf_limit.html"_s);
    ASSERT_FALSE(page.isEmpty());
    QuoteRecord r = FreshResult(u"1306"_s);
    ParseDomesticStockPage(page, r);
    EXPECT_EQ(r.kind, u"etf"_s);
    EXPECT_EQ(r.values[SlotMarketCap], u"1,234億"_s);
    EXPECT_EQ(r.values[SlotUnit], u"10"_s);
    EXPECT_EQ(r.values[SlotHigh], u"STOP 2,990"_s);
}

TEST(PageFiles, OtherKinds)
{
    QuoteRecord index = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(readPage(u"domestic_index_998407.html"_s), index);
    EXPECT_EQ(index.values[SlotName], u"日経平均株価"_s);
    EXPECT_EQ(index.values[SlotYearLow], u"31,156.12"_s);

    QuoteRecord foreign = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(readPage(u"foreign_stock_AAPL.html"_s), foreign);
    EXPECT_EQ(foreign.kind, u"電気機器"_s);
    EXPECT_EQ(foreign.values[SlotPer], u"29.51"_s);

    QuoteRecord fund = FreshResult(u"0331418A"_s);
    ParseFundPage(readPage(u"fund_0331418A.html"_s), fund);
    EXPECT_EQ(fund.values[SlotName], u"eMAXIS Slim 全世界"_s);

    QuoteRecord world = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(readPage(u"world_index_DJI.html"_s), world);
    EXPECT_EQ(world.values[SlotMarket], u"NY市場"_s);
    EXPECT_EQ(world.values[SlotYearLow], u"32,327.20"_s);
}

} // namespace
