#include "tests/support/QtPrinters.h"
#include "view/table/CellText.h"

#include "corelib/LanguageModule.h"
#include "quotes/QuoteRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

struct GroupedCase {
    double value;
    bool keepDecimals;
    bool showPlus;
    const char16_t *expected;
};

void PrintTo(const GroupedCase &c, std::ostream *os)
{
    *os << c.value << (c.keepDecimals ? " keep" : "") << (c.showPlus ? " plus" : "") << " -> "
        << Utf8(c.expected);
}

class GroupedNumberTest : public ::testing::TestWithParam<GroupedCase> { };

TEST_P(GroupedNumberTest, Formats)
{
    const GroupedCase &c = GetParam();
    EXPECT_EQ(GroupedNumber(c.value, c.keepDecimals, c.showPlus), QString::fromUtf16(c.expected)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(Cases, GroupedNumberTest,
    ::testing::Values(GroupedCase { 1234567, false, false, u"1,234,567" },
        GroupedCase { 1234.5, false, false, u"1,234.5" }, GroupedCase { 0.25, true, false, u"0.25" },
        GroupedCase { -1234, false, false, u"-1,234" }, GroupedCase { 1500, false, true, u"+1,500" },
        GroupedCase { 0, false, true, u"0" }, GroupedCase { 1500.5, false, false, u"1,500.5" },
        GroupedCase { -23400, false, true, u"-23,400" }, GroupedCase { 23400, false, true, u"+23,400" },
        GroupedCase { 999, false, false, u"999" }, GroupedCase { 1000, false, false, u"1,000" },
        GroupedCase { 100000, false, false, u"100,000" },
        GroupedCase { -100000.5, false, false, u"-100,000.5" },
        GroupedCase { 1234, true, false, u"1,234.00" }, GroupedCase { 1.10, false, false, u"1.1" },
        GroupedCase { 0.999, false, false, u"1" }, // rounds up into the integer
        GroupedCase { 999999.999, false, false, u"1,000,000" }, GroupedCase { -0.5, false, true, u"-0.5" },
        GroupedCase { -0.001, false, true, u"0" }, // shown as 0: no sign
        GroupedCase { 0.001, false, true, u"0" }, GroupedCase { -0.001, true, false, u"0.00" },
        GroupedCase { 1e15, false, false, u"1,000,000,000,000,000" }));

TEST(GroupedNumber, NonFiniteValuesDoNotBreakTheLayout)
{
    EXPECT_EQ(GroupedNumber(std::numeric_limits<double>::quiet_NaN()), u"nan"_s);
    EXPECT_EQ(GroupedNumber(-std::numeric_limits<double>::infinity()), u"-inf"_s);
    // The largest double has 309 integer digits, grouped in 103 groups.
    const QString huge = GroupedNumber(std::numeric_limits<double>::max());
    EXPECT_EQ(huge.size(), 309 + 102);
    EXPECT_TRUE(huge.startsWith(u"179,769,313"_s));
}

struct AlignCase {
    const char16_t *text;
    const char16_t *expected;
};

void PrintTo(const AlignCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.text) << "\" -> \"" << Utf8(c.expected) << '"';
}

class DecimalAlignTest : public ::testing::TestWithParam<AlignCase> { };

TEST_P(DecimalAlignTest, PadsTheFractionToThreeCharacters)
{
    EXPECT_EQ(DecimalAlign(QStringView(GetParam().text)), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, DecimalAlignTest,
    ::testing::Values(AlignCase { u"1,234.50", u"1,234.5 " }, AlignCase { u"1,234.00", u"1,234   " },
        AlignCase { u"2,500", u"2,500   " }, AlignCase { u"+12.25", u"+12.25" },
        AlignCase { u"987", u"987   " }, AlignCase { u"", u"   " }, AlignCase { u"---", u"---   " },
        AlignCase { u"10.", u"10   " }, AlignCase { u"1.000", u"1   " }, AlignCase { u".5", u".5 " },
        AlignCase { u"1.2.30", u"1.2.3 " }, // the last point
        AlignCase { u"STOP 1,234.0", u"STOP 1,234   " }, AlignCase { u"0.125", u"0.125" },
        AlignCase { u"-3.10%", u"-3.10%" }));

TEST(DecimalAlign, PricesLineUpOnThePoint)
{
    const QString a = DecimalAlign(u"1,234.50");
    const QString b = DecimalAlign(u"987");
    EXPECT_EQ(a.size() - a.indexOf(u'5'), b.size() - b.indexOf(u'7') - 2);
}

class CellTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // A fixed zone without daylight saving, so local-time texts are known.
        qputenv("TZ", "JST-9");
        tzset();
        tessera::LanguageModule::instance().load();
    }

    CellTextTest()
        : record(u"7203"_s)
    {
        for (int slot = 0; slot < kSlotCount; ++slot)
            record.values.set(static_cast<size_t>(slot), u"s%1"_s.arg(slot));
        record.datetime = 1700000000; // 2023-11-15 07:13:20 JST
        record.buyday = 1699974000; // 2023-11-15 00:00:00 JST
        record.amount = 100000;
        record.shares = 1234.5;
        record.loss = -1234.5;
        record.memo = u"line 1\r\nline 2"_s;
    }

    QuoteRecord record;
};

TEST_F(CellTextTest, EveryFieldOfAQuote)
{
    EXPECT_EQ(CellText(record, 0), QString());
    EXPECT_EQ(CellText(record, 1), u"7203"_s);
    // Plain slots show unchanged.
    for (int f : { 2, 3, 6, 7, 8, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31,
             32, 33, 34 }) {
        EXPECT_EQ(CellText(record, f), u"s%1"_s.arg(SlotOfField(f))) << f;
    }
    // Prices are aligned on the point (no point here: three spaces).
    for (int f : { 4, 5, 9, 10, 11 })
        EXPECT_EQ(CellText(record, f), u"s%1   "_s.arg(SlotOfField(f))) << f;
    EXPECT_EQ(CellText(record, 14), u"2023/11/15 07:13"_s);
    EXPECT_EQ(CellText(record, 40), QString());
    EXPECT_EQ(CellText(record, -1), QString());
}

TEST_F(CellTextTest, HoldingFieldsWithHoldings)
{
    record.has_holdings = true;
    EXPECT_EQ(CellText(record, 35), u"2023/11/15"_s);
    EXPECT_EQ(CellText(record, 36), u"100,000"_s);
    EXPECT_EQ(CellText(record, 37), u"1,234.5"_s);
    EXPECT_EQ(CellText(record, 38), u"-1,234.5 "_s);
    EXPECT_EQ(CellText(record, 39), u"line 1\r\nline 2"_s);
    record.loss = 23400;
    EXPECT_EQ(CellText(record, 38), u"+23,400   "_s);
    record.loss = 0;
    EXPECT_EQ(CellText(record, 38), u"0   "_s);
}

TEST_F(CellTextTest, HoldingFieldsAreEmptyWithoutHoldings)
{
    record.has_holdings = false;
    for (int f = 35; f <= 39; ++f)
        EXPECT_EQ(CellText(record, f), QString()) << f;
}

TEST_F(CellTextTest, PricesWithDecimals)
{
    record.values.set(SlotPrice, u"1,234.50"_s);
    record.values.set(SlotDifference, u"+12.25"_s);
    record.values.set(SlotHigh, u"STOP 1,300"_s);
    EXPECT_EQ(CellText(record, 4), u"1,234.5 "_s);
    EXPECT_EQ(CellText(record, 5), u"+12.25"_s);
    EXPECT_EQ(CellText(record, 10), u"STOP 1,300   "_s);
}

TEST_F(CellTextTest, LongMemoIsKeptWhole)
{
    record.has_holdings = true;
    record.memo = QString(5000, u'x');
    EXPECT_EQ(CellText(record, 39).size(), 5000);
}

TEST_F(CellTextTest, SumOfProfitCountsEveryRowAndSumsHoldings)
{
    QuoteRecord a(u"1"_s), b(u"2"_s), c(u"3"_s);
    a.has_holdings = true;
    a.loss = 1000;
    b.has_holdings = true;
    b.loss = -250;
    c.loss = 99999; // no holdings: not counted in the sum
    const ProfitSum sum = SumProfit({ &a, &b, &c });
    EXPECT_EQ(sum.rows, 3);
    EXPECT_DOUBLE_EQ(sum.sum, 750);
    const QString text = SumOfProfitText(sum);
    EXPECT_TRUE(text.contains(u"3"_s)) << qPrintable(text);
    EXPECT_TRUE(text.contains(u"+750"_s)) << qPrintable(text);
    EXPECT_EQ(SumOfProfitText({ 1234, 0 }).contains(u"1,234"_s), true);
}

} // namespace
