#include "SamplePages.h"

#include "quotes/PageScan.h"
#include "quotes/QuoteRecord.h"
#include "quotes/SecurityCode.h"
#include "quotes/parsers/PageParsers.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using samplesite::PageKind;
using samplesite::SampleQuote;

namespace {

// What the program should hold after parsing a page written from these values: the plus
// sign on positive changes, the limit mark on the high, the fallback market labels.
std::array<QString, 32> expectedSlots(const SampleQuote &q)
{
    std::array<QString, 32> slots = q.values;
    AddPlusSign(slots[SlotDifference]);
    AddPlusSign(slots[SlotRatio]);
    if (q.highAtLimit)
        slots[SlotHigh] = u"STOP "_s + slots[SlotHigh];
    if (slots[SlotMarket].isEmpty()) {
        slots[SlotMarket] = q.kind == PageKind::Fund ? u"投資信託"_s
            : q.kind == PageKind::WorldIndex         ? u"海外指数"_s
                                                     : u"---"_s;
    }
    return slots;
}

// The dispatch of the quote fetch, over a page in memory.
QuoteRecord parse(const QString &code, const QString &page)
{
    QuoteRecord r(code);
    switch (ClassifyCode(code)) {
    case CodeKind::Domestic:
        DetectExchangeSuffix(r, code, page);
        if (IsIndexNumber(code))
            ParseDomesticIndexPage(page, r);
        else
            ParseDomesticStockPage(page, r);
        break;
    case CodeKind::DomesticWithSuffix:
        ParseDomesticStockPage(page, r);
        break;
    case CodeKind::ForeignStock:
        ParseForeignStockPage(page, r);
        break;
    case CodeKind::Fund:
        ParseFundPage(page, r);
        break;
    case CodeKind::WorldIndex:
        ParseWorldIndexPage(page, r);
        break;
    case CodeKind::Invalid:
        ADD_FAILURE() << "sample code " << code.toStdString() << " classifies as invalid";
        break;
    }
    return r;
}

void expectParsedAsWritten(const QString &code, quint64 counter, const samplesite::PageOptions &options)
{
    const std::optional<SampleQuote> q = samplesite::QuoteValues(code, counter);
    ASSERT_TRUE(q.has_value());
    const QString page = samplesite::QuotePage(code, counter, options);
    ASSERT_FALSE(page.isEmpty());
    const QuoteRecord r = parse(code, page);
    const std::array<QString, 32> expected = expectedSlots(*q);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        EXPECT_EQ(r.values[static_cast<size_t>(slot)], expected[static_cast<size_t>(slot)])
            << code.toStdString() << " slot " << slot << " counter " << counter;
    }
    const QString expectedKind = q->kind == PageKind::DomesticStock ? q->itemType
        : q->kind == PageKind::ForeignStock                         ? q->industryName
                                                                    : QString();
    EXPECT_EQ(r.kind, expectedKind) << code.toStdString();
    if (ClassifyCode(code) == CodeKind::Domestic) {
        EXPECT_EQ(QChar(r.exchange_suffix), q->exchangeSuffix) << code.toStdString();
    }
}

} // namespace

// Parameters as std::string so that test names and failure output read plainly.
std::vector<std::string> stdStrings(const QStringList &list)
{
    std::vector<std::string> out;
    for (const QString &s : list)
        out.push_back(s.toStdString());
    return out;
}

std::vector<std::string> domesticCodes()
{
    std::vector<std::string> out;
    for (const QString &code : samplesite::SampleCodes()) {
        if (ClassifyCode(code) == CodeKind::Domestic)
            out.push_back(code.toStdString());
    }
    return out;
}

class SamplePageContract : public testing::TestWithParam<std::string> {
protected:
    QString code() const { return QString::fromStdString(GetParam()); }
};

TEST_P(SamplePageContract, ParsersReadEveryWrittenValue)
{
    for (const quint64 counter : { 0ull, 1ull, 2ull, 77ull, 99999ull })
        expectParsedAsWritten(code(), counter, samplesite::PageOptions { 0, u"UTF-8"_s });
}

TEST_P(SamplePageContract, PaddingChangesNoValue)
{
    expectParsedAsWritten(code(), 5, samplesite::PageOptions {});
    expectParsedAsWritten(code(), 5, samplesite::PageOptions { 200 * 1024, u"EUC-JP"_s });
}

INSTANTIATE_TEST_SUITE_P(Codes, SamplePageContract, testing::ValuesIn(stdStrings(samplesite::SampleCodes())),
    [](const testing::TestParamInfo<std::string> &info) {
        std::string name = info.param;
        if (name.front() == '^')
            name = "Caret" + name.substr(1);
        return name;
    });

// Only domestic codes are resolved from their page.
class SampleDomesticPage : public SamplePageContract { };

TEST_P(SampleDomesticPage, KindResolutionFindsTypeAndSuffix)
{
    const QString code = this->code();
    const SampleQuote q = *samplesite::QuoteValues(code, 3);
    QuoteRecord r(code);
    ResolveKindFromPage(r, samplesite::QuotePage(code, 3));
    EXPECT_EQ(r.kind, IsIndexNumber(code) ? u"Index"_s : q.itemType);
    EXPECT_EQ(QChar(r.exchange_suffix), q.exchangeSuffix);
}

INSTANTIATE_TEST_SUITE_P(Codes, SampleDomesticPage, testing::ValuesIn(domesticCodes()));

TEST(SamplePages, CoversEveryPageKindTheProgramReads)
{
    const QStringList codes = samplesite::SampleCodes();
    EXPECT_GE(codes.size(), 10);
    for (const char16_t *code :
        { u"7203", u"6758", u"1321", u"8951", u"998407", u"AAPL", u"MSFT", u"0331418A", u"^DJI", u"^N225" })
        EXPECT_TRUE(codes.contains(QString::fromUtf16(code))) << QString::fromUtf16(code).toStdString();
    bool limitHigh = false;
    bool etf = false;
    bool reit = false;
    for (const QString &code : codes) {
        const SampleQuote q = *samplesite::QuoteValues(code, 0);
        limitHigh = limitHigh || q.highAtLimit;
        etf = etf || q.itemType == u"etf";
        reit = reit || q.itemType == u"reit";
    }
    EXPECT_TRUE(limitHigh);
    EXPECT_TRUE(etf);
    EXPECT_TRUE(reit);
}

TEST(SamplePages, UnknownCodesHaveNoPage)
{
    for (const QString &code : { u"9999"_s, u""_s, u"7203.X"_s, u"aapl"_s, u"^XYZ"_s, u"7203.TT"_s })
        EXPECT_TRUE(samplesite::QuotePage(code, 1).isNull()) << code.toStdString();
}

TEST(SamplePages, CodeWithItsSuffixServesTheSamePage)
{
    EXPECT_EQ(samplesite::QuotePage(u"7203.T"_s, 4), samplesite::QuotePage(u"7203"_s, 4));
    const QuoteRecord r = parse(u"7203.T"_s, samplesite::QuotePage(u"7203.T"_s, 4));
    EXPECT_EQ(r.values[SlotName], u"トヨタ自動車(株)"_s);
}

TEST(SamplePages, ValuesMoveFromRequestToRequest)
{
    for (const QString &code : samplesite::SampleCodes()) {
        const SampleQuote a = *samplesite::QuoteValues(code, 10);
        const SampleQuote b = *samplesite::QuoteValues(code, 11);
        if (a.highAtLimit)
            continue; // stuck at the limit all day
        EXPECT_NE(a.values[SlotPrice], b.values[SlotPrice]) << code.toStdString();
    }
}

TEST(SamplePages, NumbersAreWrittenAsTheSiteShowsThem)
{
    const SampleQuote q = *samplesite::QuoteValues(u"7203"_s, 0);
    EXPECT_TRUE(q.values[SlotPrice].contains(u',')) << q.values[SlotPrice].toStdString();
    EXPECT_TRUE(q.values[SlotPrice].contains(u'.'));
    EXPECT_FALSE(q.values[SlotDifference].startsWith(u'+')); // the program adds the sign
    EXPECT_TRUE(q.values[SlotPriceLimit].contains(u'～'));
}

TEST(SamplePages, PaddedToTheRequestedSize)
{
    for (const qint64 size : { 100 * 1024, 300 * 1024, 1024 * 1024 }) {
        const QString page = samplesite::QuotePage(u"7203"_s, 0, { size, u"UTF-8"_s });
        EXPECT_EQ(page.toUtf8().size(), size);
    }
    const qint64 natural = samplesite::QuotePage(u"7203"_s, 0, { 0, u"UTF-8"_s }).toUtf8().size();
    EXPECT_EQ(samplesite::QuotePage(u"7203"_s, 0, { 1, u"UTF-8"_s }).toUtf8().size(), natural);
    const qint64 realistic = samplesite::QuotePage(u"7203"_s, 0).toUtf8().size();
    EXPECT_GE(realistic, 300 * 1024);
    EXPECT_LE(realistic, 1024 * 1024);
}

// --- Rankings --------------------------------------------------------------------------------

namespace {

struct RankedRow {
    QString code;
    QString name;
};

// The ranking page reading of the program: "rank", "stockCode" and "stockName" in turn from
// the list marker on, as long as all three keep following each other.
std::vector<RankedRow> readRanking(const QString &page)
{
    std::vector<RankedRow> rows;
    qsizetype pos = page.indexOf(u"\"mainRankingList\":"_s);
    if (pos < 0)
        return rows;
    for (;;) {
        QString rank;
        RankedRow row;
        pos = Cut(rank, page, pos, u"\"rank\":\""_s, u"\""_s);
        pos = Cut(row.code, page, pos, u"\"stockCode\":\""_s, u"\""_s);
        pos = Cut(row.name, page, pos, u"\"stockName\":\""_s, u"\""_s);
        if (pos == kNoPos)
            return rows;
        rows.push_back(row);
    }
}

} // namespace

class SampleRanking : public testing::TestWithParam<std::string> { };

TEST_P(SampleRanking, ListsItsCodesInOrderWithNames)
{
    const QString name = QString::fromStdString(GetParam());
    const QString page = samplesite::RankingPage(name, 8);
    ASSERT_FALSE(page.isNull());
    const std::vector<RankedRow> rows = readRanking(page);
    const QStringList codes = samplesite::RankingCodes(name, 8);
    ASSERT_EQ(rows.size(), static_cast<size_t>(codes.size()));
    EXPECT_GE(rows.size(), 5u);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].code, codes[static_cast<qsizetype>(i)]);
        EXPECT_EQ(rows[i].name, samplesite::QuoteValues(rows[i].code, 8)->values[SlotName]);
        EXPECT_FALSE(samplesite::QuotePage(rows[i].code, 8).isNull()) << "ranked code without a page";
        EXPECT_EQ(ClassifyCode(rows[i].code), CodeKind::Domestic);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, SampleRanking, testing::ValuesIn(stdStrings(samplesite::RankingNames())),
    [](const testing::TestParamInfo<std::string> &info) { return info.param; });

TEST(SampleRankingOrder, FollowsTheFigureOfTheRanking)
{
    auto figure = [](const QString &code, int slot) {
        QString text = samplesite::QuoteValues(code, 8)->values[static_cast<size_t>(slot)];
        return text.remove(u',').toDouble();
    };
    const QStringList up = samplesite::RankingCodes(u"up"_s, 8);
    for (qsizetype i = 1; i < up.size(); ++i)
        EXPECT_GE(figure(up[i - 1], SlotRatio), figure(up[i], SlotRatio));
    const QStringList low = samplesite::RankingCodes(u"tradingValueLow"_s, 8);
    for (qsizetype i = 1; i < low.size(); ++i)
        EXPECT_LE(figure(low[i - 1], SlotTradingValue), figure(low[i], SlotTradingValue));
    EXPECT_EQ(samplesite::RankingNames(),
        (QStringList { u"tradingValueHigh"_s, u"tradingValueLow"_s, u"up"_s, u"down"_s, u"volume"_s,
            u"dividendYield"_s }));
    EXPECT_TRUE(samplesite::RankingPage(u"nosuch"_s, 1).isNull());
}
