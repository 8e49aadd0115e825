#include "quotes/parsers/PageParsers.h"

#include "tests/quotes/parsers/PageBuilders.h"
#include "tests/quotes/parsers/ParserTestUtil.h"

using namespace Qt::StringLiterals;

namespace {

// Domestic index page.

TEST(DomesticIndexPage, FullPage)
{
    QuoteRecord r = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(testpages::DomesticIndexPage {}.build(), r);
    EXPECT_TRUE(SlotsAre(r,
        { { SlotName, u"日経平均株価"_s }, { SlotMarket, u"東証"_s }, { SlotPrice, u"38,142.37"_s },
            { SlotDifference, u"+120.45"_s }, { SlotRatio, u"+0.32"_s }, { SlotPrevClose, u"38,021.92"_s },
            { SlotOpen, u"38,050.11"_s }, { SlotHigh, u"38,200.00"_s }, { SlotLow, u"37,990.54"_s },
            { SlotYearHigh, u"41,087.75"_s }, { SlotYearLow, u"31,156.12"_s } }));
    EXPECT_TRUE(r.kind.isEmpty());
}

TEST(DomesticIndexPage, NeitherBlockFillsOnlyTheMarketFallback)
{
    testpages::DomesticIndexPage page;
    page.priceBoard = false;
    page.detail = false;
    QuoteRecord r = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"---"_s } }));
}

TEST(DomesticIndexPage, DetailBlockAlone)
{
    testpages::DomesticIndexPage page;
    page.priceBoard = false;
    QuoteRecord r = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r,
        { { SlotMarket, u"---"_s }, { SlotPrevClose, u"38,021.92"_s }, { SlotOpen, u"38,050.11"_s },
            { SlotHigh, u"38,200.00"_s }, { SlotLow, u"37,990.54"_s }, { SlotYearHigh, u"41,087.75"_s },
            { SlotYearLow, u"31,156.12"_s } }));
}

TEST(DomesticIndexPage, WithoutDetailBlockDetailsComeFromThePriceBoard)
{
    testpages::DomesticIndexPage page;
    page.detail = false;
    testpages::setEntry(page.board, u"openPrice"_s, u"1"_s);
    QuoteRecord r = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(page.build(), r);
    EXPECT_EQ(r.values[SlotOpen], u"1"_s);
    EXPECT_TRUE(r.values[SlotPrevClose].isEmpty());
}

TEST(DomesticIndexPage, WithoutScriptNothingButTheFallback)
{
    testpages::DomesticIndexPage page;
    page.script = false;
    QuoteRecord r = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"---"_s } }));
}

TEST(DomesticIndexPage, EmptyMarketNameFallsBack)
{
    testpages::DomesticIndexPage page;
    testpages::setEntry(page.board, u"marketName"_s, u""_s);
    QuoteRecord r = FreshResult(u"998407"_s);
    ParseDomesticIndexPage(page.build(), r);
    EXPECT_EQ(r.values[SlotMarket], u"---"_s);
}

// Foreign stock page.

SlotTexts fullForeign()
{
    return { { SlotName, u"アップル"_s }, { SlotMarket, u"NASDAQ"_s }, { SlotPrice, u"190.12"_s },
        { SlotDifference, u"+1.50"_s }, { SlotRatio, u"+0.79"_s }, { SlotPrevClose, u"188.62"_s },
        { SlotOpen, u"189.00"_s }, { SlotHigh, u"191.05"_s }, { SlotLow, u"188.10"_s },
        { SlotVolume, u"52,164,521"_s }, { SlotTradingValue, u"9,912,345"_s },
        { SlotMarketCap, u"2,946,123"_s }, { SlotSharesIssued, u"15,460,223"_s }, { SlotPer, u"29.51"_s },
        { SlotPbr, u"47.10"_s }, { SlotEps, u"6.44"_s }, { SlotBps, u"4.04"_s },
        { SlotYearHigh, u"199.62"_s }, { SlotYearLow, u"164.08"_s } };
}

TEST(ForeignStockPage, FullPage)
{
    QuoteRecord r = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(testpages::ForeignStockPage {}.build(), r);
    EXPECT_EQ(r.kind, u"電気機器"_s);
    EXPECT_TRUE(SlotsAre(r, fullForeign()));
}

TEST(ForeignStockPage, KindIsTheIndustryNameAsWritten)
{
    testpages::ForeignStockPage page;
    page.industryName = u"  Consumer Electronics "_s;
    QuoteRecord r = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(page.build(), r);
    EXPECT_EQ(r.kind, u"  Consumer Electronics "_s);

    page.industryName = QString();
    QuoteRecord none = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(page.build(), none);
    EXPECT_TRUE(none.kind.isEmpty());
}

TEST(ForeignStockPage, MissingFigureRepeatsThePreviousOne)
{
    testpages::ForeignStockPage page;
    testpages::dropEntry(page.data, u"openPrice"_s);
    QuoteRecord r = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(page.build(), r);
    EXPECT_EQ(r.values[SlotOpen], u"188.62"_s);
    EXPECT_EQ(r.values[SlotHigh], u"191.05"_s);
}

TEST(ForeignStockPage, KeysArePlainSubstrings)
{
    // "per" is found inside "upperBand" when that comes first.
    testpages::ForeignStockPage page;
    page.reference.prepend({ u"upperBand"_s, u"77.7"_s });
    QuoteRecord r = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(page.build(), r);
    EXPECT_EQ(r.values[SlotPer], u"77.7"_s);
}

TEST(ForeignStockPage, WithoutDataListItsFiguresComeFromThePriceBoard)
{
    testpages::ForeignStockPage page;
    page.dataList = false;
    QuoteRecord r = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(page.build(), r);
    // The price board has no "value" members, so every figure cut fails and the slots stay
    // empty; the reference block is still read.
    SlotTexts want = fullForeign();
    for (int slot : { SlotPrevClose, SlotOpen, SlotHigh, SlotLow, SlotVolume, SlotTradingValue })
        want.erase(slot);
    EXPECT_TRUE(SlotsAre(r, want));
}

TEST(ForeignStockPage, WithoutPriceBoard)
{
    testpages::ForeignStockPage page;
    page.priceBoard = false;
    QuoteRecord r = FreshResult(u"AAPL"_s);
    ParseForeignStockPage(page.build(), r);
    SlotTexts want = fullForeign();
    for (int slot : { SlotName, SlotPrice, SlotDifference, SlotRatio })
        want.erase(slot);
    want[SlotMarket] = u"---"_s;
    EXPECT_TRUE(SlotsAre(r, want));
}

// Investment trust page.

TEST(FundPage, FullPageDecodesTheName)
{
    QuoteRecord r = FreshResult(u"0331418A"_s);
    ParseFundPage(testpages::FundPage {}.build(), r);
    EXPECT_TRUE(SlotsAre(r,
        { { SlotName, u"eMAXIS Slim 全世界"_s }, { SlotMarket, u"追加型投信"_s }, { SlotPrice, u"25,432"_s },
            { SlotDifference, u"+123"_s }, { SlotRatio, u"+0.49"_s } }));
    EXPECT_TRUE(r.kind.isEmpty());
}

TEST(FundPage, MissingMarketNameFallsBack)
{
    testpages::FundPage page;
    testpages::dropEntry(page.board, u"marketName"_s);
    QuoteRecord r = FreshResult(u"0331418A"_s);
    ParseFundPage(page.build(), r);
    EXPECT_EQ(r.values[SlotMarket], u"投資信託"_s);

    page.block = false;
    QuoteRecord none = FreshResult(u"0331418A"_s);
    ParseFundPage(page.build(), none);
    EXPECT_TRUE(SlotsAre(none, { { SlotMarket, u"投資信託"_s } }));
}

TEST(FundPage, NegativeChangeKeepsItsSign)
{
    testpages::FundPage page;
    testpages::setEntry(page.board, u"changePrice"_s, u"-45"_s);
    testpages::setEntry(page.board, u"changePriceRate"_s, u"-0.18"_s);
    QuoteRecord r = FreshResult(u"0331418A"_s);
    ParseFundPage(page.build(), r);
    EXPECT_EQ(r.values[SlotDifference], u"-45"_s);
    EXPECT_EQ(r.values[SlotRatio], u"-0.18"_s);
}

// World index page.

SlotTexts fullWorld()
{
    return { { SlotMarket, u"NY市場"_s }, { SlotName, u"NYダウ"_s }, { SlotPrice, u"39,131.53"_s },
        { SlotDifference, u"+62.42"_s }, { SlotRatio, u"+0.16"_s }, { SlotPrevClose, u"39,069.11"_s },
        { SlotOpen, u"39,100.00"_s }, { SlotHigh, u"39,250.72"_s }, { SlotLow, u"38,990.01"_s },
        { SlotVolume, u"312,456,789"_s }, { SlotYearHigh, u"39,282.28"_s }, { SlotYearLow, u"32,327.20"_s } };
}

TEST(WorldIndexPage, FullPageSearchedWithTheCodeAsTyped)
{
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(testpages::WorldIndexPage {}.build(), r);
    EXPECT_TRUE(SlotsAre(r, fullWorld()));
}

TEST(WorldIndexPage, EscapedCodeDoesNotMatch)
{
    QuoteRecord r = FreshResult(u"%5EDJI"_s);
    ParseWorldIndexPage(testpages::WorldIndexPage {}.build(), r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"NY市場"_s } }));
}

TEST(WorldIndexPage, WithoutLabelEverythingElseStaysEmpty)
{
    testpages::WorldIndexPage page;
    page.label = QString();
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"海外指数"_s } }));
}

TEST(WorldIndexPage, EmptyLabelFallsBackButTheChainGoesOn)
{
    testpages::WorldIndexPage page;
    page.label = u""_s;
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(page.build(), r);
    SlotTexts want = fullWorld();
    want[SlotMarket] = u"海外指数"_s;
    EXPECT_TRUE(SlotsAre(r, want));
}

TEST(WorldIndexPage, WithoutChangeRateNoDetails)
{
    testpages::WorldIndexPage page;
    page.changePriceRate = QString();
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r,
        { { SlotMarket, u"NY市場"_s }, { SlotName, u"NYダウ"_s }, { SlotPrice, u"39,131.53"_s },
            { SlotDifference, u"+62.42"_s } }));
}

TEST(WorldIndexPage, WithoutNameOnlyTheLabel)
{
    testpages::WorldIndexPage page;
    page.name = QString();
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"NY市場"_s } }));
}

TEST(WorldIndexPage, WithoutDetailObjectDetailsStayEmpty)
{
    testpages::WorldIndexPage page;
    page.detail = false;
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r,
        { { SlotMarket, u"NY市場"_s }, { SlotName, u"NYダウ"_s }, { SlotPrice, u"39,131.53"_s },
            { SlotDifference, u"+62.42"_s }, { SlotRatio, u"+0.16"_s } }));
}

TEST(WorldIndexPage, DataBeforeTheLabelIsNotRead)
{
    // The same JSON placed before the label element is behind no starting position.
    const testpages::WorldIndexPage page;
    const QString text = testpages::escaped(page.json())
        + u"<span class=\"_PriceBoardMenu__label_92n65_18\">NY市場</span>"_s;
    QuoteRecord r = FreshResult(u"^DJI"_s);
    ParseWorldIndexPage(text, r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"NY市場"_s } }));
}

TEST(WorldIndexPage, FixedCodesWithoutCaret)
{
    testpages::WorldIndexPage page;
    page.code = u"FTSEMIB.MI"_s;
    QuoteRecord r = FreshResult(u"FTSEMIB.MI"_s);
    ParseWorldIndexPage(page.build(), r);
    EXPECT_TRUE(SlotsAre(r, fullWorld()));
}

} // namespace
