#include "quotes/QuoteValues.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The 32 slot texts as a list, for comparing a whole set at once.
QStringList texts(const QuoteValues &values)
{
    QStringList out;
    for (QStringView v : values)
        out << v.toString();
    return out;
}

QString sample(int slot)
{
    return u"s%1-"_s.arg(slot).repeated(slot % 4 + 1);
}

struct OrderCase {
    const char *name;
    std::vector<int> order;
};

void PrintTo(const OrderCase &c, std::ostream *os)
{
    *os << c.name;
}

std::vector<int> range(int from, int to, int step)
{
    std::vector<int> out;
    for (int i = from; i != to; i += step)
        out.push_back(i);
    return out;
}

class QuoteValuesOrder : public ::testing::TestWithParam<OrderCase> { };

} // namespace

TEST_P(QuoteValuesOrder, EverySlotReadsBackWhateverOrderItWasSetIn)
{
    QuoteValues values;
    QStringList expected(kSlotCount);
    for (int slot : GetParam().order) {
        values.set(slot, sample(slot));
        expected[slot] = sample(slot);
        ASSERT_EQ(texts(values), expected) << "after setting slot " << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, QuoteValuesOrder,
    ::testing::Values(OrderCase { "ascending", range(0, kSlotCount, 1) },
        OrderCase { "descending", range(kSlotCount - 1, -1, -1) },
        OrderCase { "interleaved",
            { 16, 0, 31, 8, 24, 1, 30, 15, 17, 2, 29, 3, 28, 4, 27, 5, 26, 6, 25, 7, 23, 9, 22, 10, 21, 11,
                20, 12, 19, 13, 18, 14 } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QuoteValues, GrowingAndShrinkingASlotMovesOnlyTheLaterOnes)
{
    QuoteValues values;
    for (int slot = 0; slot < kSlotCount; ++slot)
        values.set(slot, sample(slot));
    QStringList expected = texts(values);

    values.set(10, u"a much longer text than before"_s);
    expected[10] = u"a much longer text than before"_s;
    EXPECT_EQ(texts(values), expected);
    values.set(10, u"x"_s);
    expected[10] = u"x"_s;
    EXPECT_EQ(texts(values), expected);
    values.set(0, {});
    expected[0] = QString();
    EXPECT_EQ(texts(values), expected);
    values.set(31, u"last"_s);
    expected[31] = u"last"_s;
    EXPECT_EQ(texts(values), expected);
}

TEST(QuoteValues, SetAcceptsAViewIntoTheSameValues)
{
    QuoteValues values;
    values.set(3, u"abcdef"_s);
    values.set(5, u"xyz"_s);
    values.set(7, values[3]); // later slot from an earlier one
    values.set(1, values[5]); // earlier slot from a later one: the source moves
    values.set(3, values[3].mid(2)); // a slot from part of itself
    EXPECT_EQ(values[7], u"abcdef"_s);
    EXPECT_EQ(values[1], u"xyz"_s);
    EXPECT_EQ(values[3], u"cdef"_s);
    EXPECT_EQ(values[5], u"xyz"_s);
}

TEST(QuoteValues, EmptySlotsReadAsNullViews)
{
    QuoteValues values;
    EXPECT_TRUE(values[0].isNull());
    values.set(1, u"a"_s);
    EXPECT_TRUE(values[0].isNull());
    EXPECT_TRUE(values[2].isNull());
    EXPECT_TRUE(values.isEmpty(2));
    EXPECT_FALSE(values.isEmpty(1));
    values.set(1, QString());
    EXPECT_EQ(values.totalLength(), 0);
    EXPECT_EQ(values, QuoteValues());
}

TEST(QuoteValues, EqualityComparesSlotBySlot)
{
    QuoteValues a;
    QuoteValues b;
    a.set(4, u"ab"_s);
    b.set(4, u"a"_s);
    b.set(5, u"b"_s);
    EXPECT_NE(a, b) << "the same characters split differently are different values";
    b.set(4, u"ab"_s);
    b.set(5, {});
    EXPECT_EQ(a, b);
    a.set(4, u"ac"_s);
    EXPECT_NE(a, b);
}

TEST(QuoteValues, ClearEmptiesEverySlot)
{
    QuoteValues values;
    for (int slot = 0; slot < kSlotCount; ++slot)
        values.set(slot, sample(slot));
    values.clear();
    EXPECT_EQ(values, QuoteValues());
    EXPECT_EQ(texts(values), QStringList(kSlotCount));
    values.set(2, u"again"_s);
    EXPECT_EQ(values[2], u"again"_s);
}

TEST(QuoteValues, AssignTakesJoinedTextsAndEnds)
{
    QuoteValues::Ends ends {};
    ends.fill(7);
    ends[0] = 3; // slot 0 "abc", slot 1 "defg", the rest empty
    QuoteValues values;
    values.set(9, u"replaced"_s);
    values.assign(u"abcdefg", ends);
    EXPECT_EQ(values[0], u"abc"_s);
    EXPECT_EQ(values[1], u"defg"_s);
    EXPECT_TRUE(values.isEmpty(9));
    EXPECT_EQ(values.totalLength(), 7);

    QuoteValues same;
    same.set(1, u"defg"_s);
    same.set(0, u"abc"_s);
    EXPECT_EQ(values, same);
}

TEST(QuoteValues, CopiesAreIndependent)
{
    QuoteValues a;
    a.set(6, u"shared"_s);
    QuoteValues b = a;
    b.set(6, u"changed"_s);
    b.set(7, u"more"_s);
    EXPECT_EQ(a[6], u"shared"_s);
    EXPECT_TRUE(a.isEmpty(7));
    EXPECT_EQ(b[6], u"changed"_s);
}

TEST(QuoteValues, SettingTheSameTextKeepsViewsValid)
{
    QuoteValues values;
    values.set(0, u"one"_s);
    values.set(1, u"two"_s);
    const QStringView before = values[1];
    values.set(1, u"two"_s);
    values.set(0, values[0]);
    EXPECT_EQ(values[1].data(), before.data()) << "an unchanged slot does not rebuild the buffer";
}
