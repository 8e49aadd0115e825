#include "quotes/QuoteRecord.h"
#include "tests/support/CommaDecimalLocale.h"

#include <QDateTime>

#include <gtest/gtest.h>

TEST(QuoteRecord, CreatedEmptyWithCreationTime)
{
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QuoteRecord r(QStringLiteral("7203"));
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    EXPECT_EQ(r.code, QStringLiteral("7203"));
    for (QStringView v : r.values)
        EXPECT_TRUE(v.isEmpty());
    EXPECT_EQ(r.exchange_suffix, 0);
    EXPECT_EQ(r.text_color, -1);
    EXPECT_EQ(r.back_color, -1);
    EXPECT_FALSE(r.has_holdings);
    EXPECT_GE(r.datetime, before);
    EXPECT_LE(r.datetime, after);
    EXPECT_EQ(r.buyday, r.datetime);
}

TEST(QuoteRecord, CopyQuoteDetectsSlotChangesOnly)
{
    QuoteRecord r(QStringLiteral("7203"));
    r.values.set(SlotPrice, QStringLiteral("2,000"));
    QuoteRecord fetched(QStringLiteral("7203"));
    fetched.values = r.values;
    fetched.datetime = r.datetime + 60;
    fetched.kind = QStringLiteral("etf");
    fetched.exchange_suffix = u'T';
    EXPECT_FALSE(r.CopyQuote(fetched));
    EXPECT_EQ(r.datetime, fetched.datetime);
    EXPECT_EQ(r.kind, QStringLiteral("etf"));
    EXPECT_EQ(r.exchange_suffix, u'T');

    r.values.set(SlotStatus, QString::fromUtf16(kFetchErrorText));
    EXPECT_TRUE(r.CopyQuote(fetched)) << "clearing an earlier error is a change";
    EXPECT_TRUE(r.values[SlotStatus].isEmpty());

    fetched.values.set(SlotPrice, QStringLiteral("2,001"));
    EXPECT_TRUE(r.CopyQuote(fetched));
    EXPECT_EQ(r.values[SlotPrice], QStringLiteral("2,001"));
}

TEST(QuoteRecord, CopyQuoteKeepsHoldingsFullCopyTakesThem)
{
    QuoteRecord r(QStringLiteral("7203"));
    QuoteRecord other(QStringLiteral("7203"));
    other.has_holdings = true;
    other.shares = 100;
    other.memo = QStringLiteral("a\r\nb");
    other.text_color = 0x0000FF;
    r.CopyQuote(other);
    EXPECT_FALSE(r.has_holdings);
    EXPECT_EQ(r.text_color, -1);
    r.FullCopy(other);
    EXPECT_TRUE(r.has_holdings);
    EXPECT_EQ(r.shares, 100);
    EXPECT_EQ(r.memo, QStringLiteral("a\r\nb"));
    EXPECT_EQ(r.text_color, 0x0000FF);
}

TEST(QuoteRecord, RecomputeProfit)
{
    QuoteRecord r(QStringLiteral("7203"));
    r.has_holdings = true;
    r.values.set(SlotPrevClose, QStringLiteral("1,234"));
    r.shares = 100;
    r.amount = 100000;
    r.RecomputeProfit();
    EXPECT_DOUBLE_EQ(r.loss, 23400);

    r.values.set(SlotPrevClose, QStringLiteral("---"));
    r.RecomputeProfit();
    EXPECT_DOUBLE_EQ(r.loss, 0);
    r.values.set(SlotPrevClose, {});
    r.RecomputeProfit();
    EXPECT_DOUBLE_EQ(r.loss, 0);

    r.values.set(SlotPrevClose, QStringLiteral("1,234"));
    r.has_holdings = false;
    r.loss = 5;
    r.RecomputeProfit();
    EXPECT_DOUBLE_EQ(r.loss, 0);
}

// QCoreApplication takes the C library's locale from the environment; the site's "." must
// stay the decimal point under LC_ALL=de_DE.UTF-8 as well.
TEST(QuoteRecord, ProfitIsTheSameUnderACommaDecimalLocale)
{
    const CommaDecimalLocale locale;
    ASSERT_TRUE(locale.active()) << "no comma-decimal locale: " << locale.name().constData();
    QuoteRecord r(QStringLiteral("7203"));
    r.has_holdings = true;
    r.values.set(SlotPrevClose, QStringLiteral("1,234.5"));
    r.shares = 100;
    r.amount = 100000;
    r.RecomputeProfit();
    EXPECT_DOUBLE_EQ(r.loss, 23450);
    r.values.set(SlotPrevClose, QStringLiteral("0.25円"));
    r.RecomputeProfit();
    EXPECT_DOUBLE_EQ(r.loss, 25 - 100000);
}

TEST(QuoteRecord, KeyTableAndSlots)
{
    EXPECT_TRUE(FieldKeyPrefix(0).isEmpty());
    EXPECT_EQ(FieldKeyPrefix(1), u"\"code\":");
    EXPECT_EQ(FieldKeyPrefix(1).size(), 7);
    EXPECT_EQ(FieldKey(14), u"datetime");
    EXPECT_EQ(FieldKey(39), u"memo");
    EXPECT_TRUE(FieldKey(40).isEmpty());
    EXPECT_EQ(SlotOfField(4), SlotPrice);
    EXPECT_EQ(SlotOfField(15), SlotStatus);
    EXPECT_EQ(SlotOfField(14), -1);
    // Every slot is named by exactly one field number.
    for (int s = 0; s < kSlotCount; ++s)
        EXPECT_EQ(SlotOfField(FieldOfSlot(s)), s) << s;
}
