#include "quotes/parsers/PageParsers.h"

#include "tests/quotes/parsers/PageBuilders.h"
#include "tests/quotes/parsers/ParserTestUtil.h"

using namespace Qt::StringLiterals;
using testpages::DomesticStockPage;

namespace {

// Every slot the default page fills.
SlotTexts fullStock()
{
    return {
        { SlotName, u"トヨタ自動車(株)"_s },
        { SlotMarket, u"東証PRM"_s },
        { SlotPrice, u"2,981.5"_s },
        { SlotDifference, u"+12.5"_s },
        { SlotRatio, u"+0.42"_s },
        { SlotPrevClose, u"2,969"_s },
        { SlotOpen, u"2,975"_s },
        { SlotHigh, u"2,990"_s },
        { SlotLow, u"2,960.5"_s },
        { SlotVolume, u"21,546,900"_s },
        { SlotTradingValue, u"64,170,312"_s },
        { SlotPriceLimit, u"2,469～3,469"_s },
        { SlotMarketCap, u"48,632,134"_s },
        { SlotUnit, u"100"_s },
        { SlotSharesIssued, u"16,314,987,460"_s },
        { SlotDividend, u"90.00"_s },
        { SlotYield, u"3.02"_s },
        { SlotPer, u"9.62"_s },
        { SlotPbr, u"1.05"_s },
        { SlotEps, u"309.93"_s },
        { SlotBps, u"2,842.53"_s },
        { SlotRoe, u"11.52"_s },
        { SlotCar, u"38.3"_s },
        { SlotMinPurchase, u"298,150"_s },
        { SlotYearHigh, u"3,891"_s },
        { SlotYearLow, u"2,226.5"_s },
        { SlotMarginBuy, u"1,234,500"_s },
        { SlotMarginBuyChange, u"-12,300"_s },
        { SlotMarginSell, u"456,700"_s },
        { SlotMarginSellChange, u"+4,500"_s },
        { SlotMarginRatio, u"2.70"_s },
    };
}

QuoteRecord parse(const DomesticStockPage &page)
{
    QuoteRecord r = FreshResult();
    ParseDomesticStockPage(page.build(), r);
    return r;
}

TEST(DomesticStockPage, FullPageFillsThirtyOneSlots)
{
    const QuoteRecord r = parse(DomesticStockPage {});
    EXPECT_EQ(r.kind, u"stock"_s);
    EXPECT_TRUE(SlotsAre(r, fullStock()));
    EXPECT_EQ(r.code, u"7203"_s);
    EXPECT_EQ(r.exchange_suffix, 0) << "the parser leaves the suffix to the dispatcher";
}

TEST(DomesticStockPage, WithoutStockSectionMarketFallsBackDetailsStillFound)
{
    DomesticStockPage page;
    page.stockSection = false;
    const QuoteRecord r = parse(page);
    SlotTexts want = fullStock();
    for (int slot : { SlotName, SlotPrice, SlotDifference, SlotRatio })
        want.erase(slot);
    want[SlotMarket] = u"---"_s;
    EXPECT_TRUE(SlotsAre(r, want));
    EXPECT_TRUE(r.kind.isEmpty());
}

TEST(DomesticStockPage, WithoutDetailBlockSearchesTheStockSection)
{
    DomesticStockPage page;
    page.detailBlock = false;
    // Put a detail-like entry inside the stock section: it is found there.
    page.name = uR"(X","title":"前日終値","value":"1,111)"_s;
    QuoteRecord r = FreshResult();
    ParseDomesticStockPage(page.build(), r);
    EXPECT_EQ(r.values[SlotPrevClose], u"1,111"_s);
    // Without any entry in the stock section, high and low are the limit rule on nothing.
    EXPECT_EQ(r.values[SlotHigh], u"STOP "_s);
    EXPECT_EQ(r.values[SlotLow], u"STOP "_s);
    EXPECT_TRUE(r.values[SlotVolume].isEmpty());
}

TEST(DomesticStockPage, EmptyMarketLabelFallsBack)
{
    DomesticStockPage page;
    page.label = u""_s;
    EXPECT_EQ(parse(page).values[SlotMarket], u"---"_s);
}

struct SignCase {
    const char16_t *change;
    const char16_t *expected;
};

void PrintTo(const SignCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.change) << '"';
}

class DomesticStockSign : public ::testing::TestWithParam<SignCase> { };

TEST_P(DomesticStockSign, OnlyPositiveChangesGetPlus)
{
    DomesticStockPage page;
    page.change = QString::fromUtf16(GetParam().change);
    page.changeRate = QString::fromUtf16(GetParam().change);
    const QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotDifference], QString::fromUtf16(GetParam().expected));
    EXPECT_EQ(r.values[SlotRatio], QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(DomesticStockPage, DomesticStockSign,
    ::testing::Values(SignCase { u"0", u"0" }, SignCase { u"-3.5", u"-3.5" },
        SignCase { u"1,200", u"+1,200" }, SignCase { u"0.00", u"0.00" }, SignCase { u"", u"" },
        SignCase { u"+5", u"+5" }));

TEST(DomesticStockPage, EtfUsesNetAssetsAndTradingUnit)
{
    DomesticStockPage page;
    page.itemType = u"etf"_s;
    testpages::setEntry(page.values, u"純資産"_s, u"1,234億"_s);
    testpages::setEntry(page.values, u"売買単位"_s, u"10"_s);
    const QuoteRecord r = parse(page);
    EXPECT_EQ(r.kind, u"etf"_s);
    EXPECT_EQ(r.values[SlotMarketCap], u"1,234億"_s);
    EXPECT_EQ(r.values[SlotUnit], u"10"_s);
    EXPECT_EQ(r.values[SlotSharesIssued], u"16,314,987,460"_s) << "not a REIT: shares issued";
}

TEST(DomesticStockPage, EtfComparisonIsCaseSensitive)
{
    DomesticStockPage page;
    page.itemType = u"ETF"_s;
    testpages::setEntry(page.values, u"純資産"_s, u"1,234億"_s);
    testpages::setEntry(page.values, u"売買単位"_s, u"10"_s);
    const QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotMarketCap], u"48,632,134"_s);
    EXPECT_EQ(r.values[SlotUnit], u"100"_s);
}

TEST(DomesticStockPage, ReitUsesUnitsAndDistributions)
{
    DomesticStockPage page;
    page.itemType = u"reit"_s;
    testpages::setEntry(page.values, u"発行済投資口数"_s, u"3,456,789"_s);
    testpages::setEntry(page.indicators, u"予想分配金"_s, u"2,150"_s);
    testpages::setEntry(page.indicators, u"分配金利回り"_s, u"4.51"_s);
    const QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotSharesIssued], u"3,456,789"_s);
    EXPECT_EQ(r.values[SlotDividend], u"2,150"_s);
    EXPECT_EQ(r.values[SlotYield], u"4.51"_s);
    EXPECT_EQ(r.values[SlotMarketCap], u"48,632,134"_s) << "a REIT still has a market capitalisation";
}

TEST(DomesticStockPage, LimitRule)
{
    DomesticStockPage page;
    page.highAtLimit = true;
    QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotHigh], u"STOP 2,990"_s);
    EXPECT_EQ(r.values[SlotLow], u"2,960.5"_s);

    page.highAtLimit = false;
    page.lowAtLimit = true;
    r = parse(page);
    EXPECT_EQ(r.values[SlotHigh], u"2,990"_s);
    EXPECT_EQ(r.values[SlotLow], u"STOP 2,960.5"_s);
}

TEST(DomesticStockPage, LimitRuleEdges)
{
    struct Case {
        const char16_t *entry; // the page text behind the high's marker
        const char16_t *high;
    };
    const Case cases[] = {
        // "$undefined\"" counts only after the entry's first character.
        { uR"($undefined\"})", u"STOP $undefined" },
        { uR"(1$undefined\"})", u"1$undefined" },
        { uR"(1\"$undefined\"})", u"1" },
        { uR"(5\",\"x\":\"$undefined})", u"STOP 5" },
        { uR"(no quote at all})", u"STOP " },
        { uR"(})", u"STOP " },
    };
    for (const Case &c : cases) {
        const QString page
            = uR"(\"stocksContents\"\"statusLabel\" {\"head\":\"信用取引情報\" \"高値\",\"value\":\")"_s
            + QString::fromUtf16(c.entry) + uR"( \"crossStatus\")"_s;
        QuoteRecord r = FreshResult();
        ParseDomesticStockPage(page, r);
        EXPECT_EQ(r.values[SlotHigh], QString::fromUtf16(c.high))
            << QString::fromUtf16(c.entry).toStdString();
    }
}

TEST(DomesticStockPage, MissingHighEntryIsStopAndLowTakesHighEntry)
{
    DomesticStockPage page;
    testpages::dropEntry(page.values, u"高値"_s);
    QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotHigh], u"STOP "_s);
    EXPECT_EQ(r.values[SlotLow], u"2,960.5"_s);

    page = DomesticStockPage {};
    testpages::dropEntry(page.values, u"安値"_s);
    r = parse(page);
    EXPECT_EQ(r.values[SlotHigh], u"2,990"_s);
    EXPECT_EQ(r.values[SlotLow], u"2,990"_s) << "the low reads the high's entry again";
}

TEST(DomesticStockPage, MissingIndicatorReadsThePreviousEntry)
{
    DomesticStockPage page;
    testpages::dropEntry(page.indicators, u"PBR"_s);
    QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotPer], u"9.62"_s);
    EXPECT_EQ(r.values[SlotPbr], u"9.62"_s);
    EXPECT_EQ(r.values[SlotEps], u"309.93"_s);
}

TEST(DomesticStockPage, WeeklyChangeBelongsToItsBalance)
{
    DomesticStockPage page;
    page.marginBuyChange = QString(); // the buy balance has no change entry
    QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotMarginBuy], u"1,234,500"_s);
    EXPECT_EQ(r.values[SlotMarginBuyChange], u"+4,500"_s)
        << "the next change on the page follows the balance";
    EXPECT_EQ(r.values[SlotMarginSellChange], u"+4,500"_s);

    page = DomesticStockPage {};
    page.marginBuy = QString(); // no buy balance: no change searched for it
    r = parse(page);
    EXPECT_TRUE(r.values[SlotMarginBuy].isEmpty());
    EXPECT_TRUE(r.values[SlotMarginBuyChange].isEmpty());
    EXPECT_EQ(r.values[SlotMarginSellChange], u"+4,500"_s);

    page = DomesticStockPage {};
    page.marginSell = QString();
    r = parse(page);
    EXPECT_EQ(r.values[SlotMarginBuyChange], u"-12,300"_s);
    EXPECT_TRUE(r.values[SlotMarginSellChange].isEmpty());
}

TEST(DomesticStockPage, ValuesOutsideTheirSectionAreIgnored)
{
    // The headline figures are searched in the stock section only.
    const QString page
        = uR"(\"name\":\"Outside\" \"stocksContents\":{\"statusLabel\"} \"price\":{\"value\":\"9\")"_s;
    QuoteRecord r = FreshResult();
    ParseDomesticStockPage(page, r);
    EXPECT_TRUE(SlotsAre(r, { { SlotMarket, u"---"_s }, { SlotHigh, u"STOP "_s }, { SlotLow, u"STOP "_s } }));
}

TEST(DomesticStockPage, HighMarkerDoesNotMatchYearHigh)
{
    DomesticStockPage page;
    testpages::dropEntry(page.values, u"高値"_s);
    testpages::dropEntry(page.values, u"安値"_s);
    const QuoteRecord r = parse(page);
    EXPECT_EQ(r.values[SlotHigh], u"STOP "_s);
    EXPECT_EQ(r.values[SlotYearHigh], u"3,891"_s);
}

TEST(DomesticStockPage, ParserWritesOnlyWhatItFinds)
{
    QuoteRecord r = FreshResult();
    r.values.set(SlotStatus, u"ERROR:x"_s);
    r.kind = u"old"_s;
    r.exchange_suffix = u'T';
    ParseDomesticStockPage(u"", r);
    EXPECT_EQ(r.values[SlotStatus], u"ERROR:x"_s) << "the status slot is never written";
    EXPECT_EQ(r.kind, u"old"_s);
    EXPECT_EQ(r.exchange_suffix, u'T');
}

} // namespace
