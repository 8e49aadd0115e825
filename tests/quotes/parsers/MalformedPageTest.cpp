#include "quotes/parsers/PageParsers.h"

#include "tests/quotes/parsers/PageBuilders.h"
#include "tests/quotes/parsers/ParserTestUtil.h"

#include <QSet>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

using Parser = std::function<void(QStringView, QuoteRecord &)>;

struct PageKind {
    const char *name;
    Parser parse;
    QString code;
    QString page; // a small full page
    SlotTexts onEmptyPage; // what an empty page gives
};

void PrintTo(const PageKind &k, std::ostream *os)
{
    *os << k.name;
}

std::vector<PageKind> pageKinds()
{
    testpages::DomesticStockPage stock;
    stock.fillerSize = 40;
    testpages::DomesticIndexPage index;
    index.fillerSize = 40;
    testpages::ForeignStockPage foreign;
    foreign.fillerSize = 40;
    testpages::FundPage fund;
    fund.fillerSize = 40;
    testpages::WorldIndexPage world;
    world.fillerSize = 40;
    return {
        { "DomesticStock", ParseDomesticStockPage, u"7203"_s, stock.build(),
            { { SlotMarket, u"---"_s }, { SlotHigh, u"STOP "_s }, { SlotLow, u"STOP "_s } } },
        { "DomesticIndex", ParseDomesticIndexPage, u"998407"_s, index.build(), { { SlotMarket, u"---"_s } } },
        { "ForeignStock", ParseForeignStockPage, u"AAPL"_s, foreign.build(), { { SlotMarket, u"---"_s } } },
        { "Fund", ParseFundPage, u"0331418A"_s, fund.build(), { { SlotMarket, u"投資信託"_s } } },
        { "WorldIndex", ParseWorldIndexPage, u"^DJI"_s, world.build(), { { SlotMarket, u"海外指数"_s } } },
    };
}

class MalformedPage : public ::testing::TestWithParam<PageKind> { };

TEST_P(MalformedPage, EmptyPageGivesOnlyFallbacks)
{
    QuoteRecord r = FreshResult(GetParam().code);
    GetParam().parse(QStringView(), r);
    EXPECT_TRUE(SlotsAre(r, GetParam().onEmptyPage));
}

TEST_P(MalformedPage, EveryTruncationGivesWholeValuesOnly)
{
    const PageKind &kind = GetParam();
    QuoteRecord full = FreshResult(kind.code);
    kind.parse(kind.page, full);
    QSet<QString> allowed = { QString(), u"---"_s, u"投資信託"_s, u"海外指数"_s, u"STOP "_s };
    for (QStringView v : full.values) {
        allowed.insert(v.toString());
        allowed.insert(u"STOP "_s + v);
    }
    const QString fullKind = full.kind;

    for (qsizetype length = 0; length <= kind.page.size(); ++length) {
        QuoteRecord r = FreshResult(kind.code);
        kind.parse(QStringView(kind.page).first(length), r);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            ASSERT_TRUE(allowed.contains(r.values[static_cast<size_t>(slot)].toString()))
                << "length " << length << " slot " << slot << ": "
                << r.values[static_cast<size_t>(slot)].toString().toStdString();
        }
        ASSERT_TRUE(r.kind.isEmpty() || r.kind == fullKind) << "length " << length;
        ASSERT_TRUE(r.values[SlotStatus].isEmpty());
    }
}

TEST_P(MalformedPage, NulsAndLoneSurrogatesPassThrough)
{
    const PageKind &kind = GetParam();
    QuoteRecord full = FreshResult(kind.code);
    kind.parse(kind.page, full);
    ASSERT_FALSE(full.values[SlotPrice].isEmpty());

    // Put odd code units into the price value and around the data.
    const QString odd = QString(QChar(0)) + QChar(char16_t(0xD800)) + u"1"_s + QChar(char16_t(0xDC00));
    QString page = kind.page;
    const qsizetype at = page.indexOf(full.values[SlotPrice]);
    ASSERT_GE(at, 0);
    page.replace(at, full.values[SlotPrice].size(), odd);
    page = odd + page + odd;
    QuoteRecord r = FreshResult(kind.code);
    kind.parse(page, r);
    EXPECT_EQ(r.values[SlotPrice], odd);
    EXPECT_EQ(r.values[SlotName], full.values[SlotName]);
}

TEST_P(MalformedPage, RandomCodeUnitsNeverCrash)
{
    // A fixed pseudo-random sequence mixed with pieces of a real page.
    const PageKind &kind = GetParam();
    quint32 state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (int round = 0; round < 200; ++round) {
        QString page;
        const int pieces = int(next() % 20);
        for (int p = 0; p < pieces; ++p) {
            if (next() % 2) {
                const qsizetype from = next() % kind.page.size();
                page += QStringView(kind.page).sliced(
                    from, std::min<qsizetype>(next() % 200, kind.page.size() - from));
            } else {
                for (int k = int(next() % 8); k > 0; --k)
                    page += QChar(char16_t(next() & 0xFFFF));
            }
        }
        QuoteRecord r = FreshResult(kind.code);
        kind.parse(page, r);
        ASSERT_TRUE(r.values[SlotStatus].isEmpty());
    }
}

TEST_P(MalformedPage, LargePageWithDataInTheMiddle)
{
    // About 50 MB of characters: the data sits between two 25 MB stretches of filler.
    const PageKind &kind = GetParam();
    QuoteRecord small = FreshResult(kind.code);
    kind.parse(kind.page, small);

    const QString filler = testpages::filler(12'500'000);
    const QString page = filler + kind.page + filler;
    QuoteRecord r = FreshResult(kind.code);
    kind.parse(page, r);
    EXPECT_EQ(r.values, small.values);
    EXPECT_EQ(r.kind, small.kind);
}

TEST_P(MalformedPage, LargePageOfMarkerPrefixes)
{
    // Start markers without their ends, and near-misses of markers, many times over.
    const QString unit
        = uR"(\"stocksContents\" "高値\",\"value\":\" __PRELOADED_STATE__ "mainUsStocksPriceBoard )"
          uR"("publicRelations _PriceBoardMenu__label_92n65_18"> \"stocksContent\"\"statusLabe)"_s;
    const QString page = unit.repeated(25'000'000 / unit.size());
    QuoteRecord r = FreshResult(GetParam().code);
    GetParam().parse(page, r);
    EXPECT_TRUE(r.values[SlotPrice].isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Parsers, MalformedPage, ::testing::ValuesIn(pageKinds()),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MalformedPage, RepeatedMarkersFirstOccurrenceWins)
{
    testpages::DomesticStockPage first;
    testpages::DomesticStockPage second;
    second.name = u"Second"_s;
    second.price = u"1"_s;
    const QString page = first.build() + second.build();
    QuoteRecord r = FreshResult();
    ParseDomesticStockPage(page, r);
    EXPECT_EQ(r.values[SlotName], first.name);
    EXPECT_EQ(r.values[SlotPrice], first.price);
}

TEST(MalformedPage, DetailBlockBeforeStockSectionIsStillFound)
{
    testpages::DomesticStockPage detailOnly;
    detailOnly.stockSection = false;
    testpages::DomesticStockPage stockOnly;
    stockOnly.detailBlock = false;
    QuoteRecord r = FreshResult();
    const QString page = detailOnly.build() + stockOnly.build();
    ParseDomesticStockPage(page, r);
    QuoteRecord normal = FreshResult();
    ParseDomesticStockPage(testpages::DomesticStockPage {}.build(), normal);
    EXPECT_EQ(r.values, normal.values);
}

TEST(MalformedPage, EndMarkerBeforeStartMarker)
{
    // The section ends are searched behind their starts only.
    const QString page = uR"(\"statusLabel\" \"stocksContents\" \"name\":\"A\")"_s;
    QuoteRecord r = FreshResult();
    ParseDomesticStockPage(page, r);
    EXPECT_TRUE(r.values[SlotName].isEmpty());
}

TEST(MalformedPage, WorldIndexCodeWithMarkerCharacters)
{
    // A code is inserted into the markers as it is; quotes and backslashes in it only make
    // the markers miss.
    for (const QString &code : { uR"(^D\"JI)"_s, u"\""_s, u""_s, uR"(\)"_s }) {
        QuoteRecord r = FreshResult(code);
        ParseWorldIndexPage(testpages::WorldIndexPage {}.build(), r);
        EXPECT_EQ(r.values[SlotMarket], u"NY市場"_s);
    }
}

} // namespace
