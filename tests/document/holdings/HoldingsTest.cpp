// Holdings as the dialog enters them, copies to further rows, the sum, days and typed numbers.
#include "document/Holdings.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>

namespace {

QuoteRecord recordWithClose(const QString &close)
{
    QuoteRecord r;
    r.code = QStringLiteral("7203");
    r.values.set(SlotPrevClose, close);
    return r;
}

TEST(Holdings, AmountSharesAndCloseGiveTheProfit)
{
    QuoteRecord r = recordWithClose(QStringLiteral("1,234"));
    ApplyHoldingsEntry(r, { .buyday = 100, .amount = 100000, .shares = 100, .memo = {} });
    EXPECT_TRUE(r.has_holdings);
    EXPECT_DOUBLE_EQ(r.loss, 23400);
    EXPECT_EQ(r.buyday, 100);
}

TEST(Holdings, NothingEnteredMeansNoHoldingsButTheDayStays)
{
    QuoteRecord r = recordWithClose(QStringLiteral("1,234"));
    r.has_holdings = true;
    r.loss = 5;
    ApplyHoldingsEntry(r, { .buyday = 86400, .amount = 0, .shares = 0, .memo = {} });
    EXPECT_FALSE(r.has_holdings);
    EXPECT_EQ(r.loss, 0);
    EXPECT_EQ(r.buyday, 86400);
}

TEST(Holdings, AMemoAloneKeepsHoldings)
{
    QuoteRecord r = recordWithClose(QStringLiteral("1,234"));
    ApplyHoldingsEntry(r, { .buyday = 0, .amount = 0, .shares = 0, .memo = QStringLiteral("様子見") });
    EXPECT_TRUE(r.has_holdings);
    EXPECT_EQ(r.loss, 0);
    EXPECT_EQ(r.memo, QStringLiteral("様子見"));
}

TEST(Holdings, NoPreviousCloseLeavesTheProfitAtZero)
{
    for (const QString &close : { QString(), QStringLiteral("---") }) {
        QuoteRecord r = recordWithClose(close);
        ApplyHoldingsEntry(r, { .buyday = 0, .amount = 1000, .shares = 10, .memo = {} });
        EXPECT_TRUE(r.has_holdings);
        EXPECT_EQ(r.loss, 0);
    }
}

TEST(Holdings, CopiesTakeTheirOwnProfit)
{
    QuoteRecord first = recordWithClose(QStringLiteral("1,234"));
    ApplyHoldingsEntry(first, { .buyday = 7, .amount = 100000, .shares = 100, .memo = QStringLiteral("m") });
    QuoteRecord second = recordWithClose(QStringLiteral("900"));
    QuoteRecord third = recordWithClose(QStringLiteral("---"));
    CopyHoldings(first, second);
    CopyHoldings(first, third);
    EXPECT_DOUBLE_EQ(second.loss, -10000);
    EXPECT_EQ(third.loss, 0);
    EXPECT_EQ(second.buyday, 7);
    EXPECT_EQ(third.memo, QStringLiteral("m"));
    EXPECT_TRUE(third.has_holdings);
}

TEST(Holdings, CopyingNoHoldingsClearsThem)
{
    QuoteRecord none = recordWithClose(QStringLiteral("100"));
    QuoteRecord other = recordWithClose(QStringLiteral("100"));
    ApplyHoldingsEntry(other, { .buyday = 0, .amount = 1, .shares = 1, .memo = QStringLiteral("x") });
    CopyHoldings(none, other);
    EXPECT_FALSE(other.has_holdings);
    EXPECT_TRUE(other.memo.isEmpty());
}

TEST(Holdings, DaysAreMidnightLocalTime)
{
    const QDate day(2024, 3, 15);
    const qint64 t = BuydayOfDate(day);
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(t, Qt::LocalTime).time(), QTime(0, 0));
    EXPECT_EQ(DateOfBuyday(t), day);
    EXPECT_EQ(DateOfBuyday(t + 23 * 3600), day);
}

struct NumberCase {
    const char *text;
    bool valid;
    double value;
};

class HoldingsNumber : public ::testing::TestWithParam<NumberCase> { };

TEST_P(HoldingsNumber, ReadsAsTyped)
{
    const NumberCase &c = GetParam();
    const std::optional<double> v = ParseHoldingsNumber(QString::fromUtf8(c.text));
    ASSERT_EQ(v.has_value(), c.valid) << c.text;
    if (c.valid) {
        EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, HoldingsNumber,
    ::testing::Values(NumberCase { "100000", true, 100000 }, NumberCase { "100,000", true, 100000 },
        NumberCase { "1,234,567.5", true, 1234567.5 }, NumberCase { "-1,234", true, -1234 },
        NumberCase { " 12.25 ", true, 12.25 }, NumberCase { "0.5", true, 0.5 }, NumberCase { "", true, 0 },
        NumberCase { "１２，３４５", true, 12345 }, NumberCase { "－５", true, -5 },
        NumberCase { "1,23", false, 0 }, NumberCase { "1234,567", false, 0 }, NumberCase { ",123", false, 0 },
        NumberCase { "12a", false, 0 }, NumberCase { "1.2.3", false, 0 }, NumberCase { "--1", false, 0 },
        NumberCase { "+1", false, 0 }, NumberCase { "-", false, 0 }, NumberCase { ".", false, 0 },
        NumberCase { "1e5", false, 0 }, NumberCase { "1,000,", false, 0 }));

TEST(HoldingsNumber, TooLargeForADoubleIsRefused)
{
    EXPECT_FALSE(ParseHoldingsNumber(QString(400, u'9')).has_value());
}

} // namespace
