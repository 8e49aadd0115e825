#include "quotes/QuoteRecord.h"
#include "tests/support/CommaDecimalLocale.h"
#include "tests/support/QtPrinters.h"
#include "view/table/CellColors.h"
#include "view/table/CellText.h"
#include "view/table/Sorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

struct RealCase {
    const char16_t *text;
    double expected;
};

void PrintTo(const RealCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.text) << "\" -> " << c.expected;
}

class RealKeyTest : public ::testing::TestWithParam<RealCase> { };

TEST_P(RealKeyTest, Reads)
{
    EXPECT_DOUBLE_EQ(RealKey(QStringView(GetParam().text)), GetParam().expected)
        << QString::fromUtf16(GetParam().text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, RealKeyTest,
    ::testing::Values(RealCase { u"-0.35%", -0.35 }, RealCase { u"+0.80%", 0.8 }, RealCase { u"", 0 },
        RealCase { u"---", 0 }, RealCase { u"1,234.5", 1234.5 }, RealCase { u"STOP 1,234.5", 0 },
        RealCase { u"  -12", -12 }, RealCase { u"\t+7", 7 }, RealCase { u".5", 0.5 }, RealCase { u"5.", 5 },
        RealCase { u"-.", 0 }, RealCase { u"1e3", 1000 }, RealCase { u"1E+2x", 100 }, RealCase { u"2e", 2 },
        RealCase { u"2e+", 2 }, RealCase { u"3.5e-1", 0.35 }, RealCase { u"12.3倍", 12.3 },
        RealCase { u"1,234,567,890,123", 1234567890123.0 }, RealCase { u"inf", 0 }, RealCase { u"nan", 0 },
        RealCase { u"0x10", 0 }, RealCase { u"1e-400", 0 }, RealCase { u"-,5", -5 }));

TEST(RealKey, ExponentOverflowGivesInfinity)
{
    EXPECT_EQ(RealKey(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(RealKey(u"-1e999"), -std::numeric_limits<double>::infinity());
}

// The sort keys, the colour rules and the grouped numbers read and write "." as the decimal
// point whatever the C library's locale says.
TEST(TableRules, AreTheSameUnderACommaDecimalLocale)
{
    const CommaDecimalLocale locale;
    ASSERT_TRUE(locale.active()) << "no comma-decimal locale: " << locale.name().constData();
    EXPECT_DOUBLE_EQ(RealKey(u"1,234.5"), 1234.5);
    EXPECT_DOUBLE_EQ(RealKey(u"-0.35%"), -0.35);
    EXPECT_EQ(IntegerKey(u"1,234.5"), 1234);
    EXPECT_EQ(GroupedNumber(1234.5, false, false), u"1,234.5"_s);
    EXPECT_EQ(GroupedNumber(-0.25, true, false), u"-0.25"_s);
    QuoteRecord r(u"7203"_s);
    r.values.set(SlotDifference, u"-0.5"_s);
    EXPECT_EQ(CellTextColorRule(r, 5), TextColorRule::Red);
}

struct IntCase {
    const char16_t *text;
    qint64 expected;
};

void PrintTo(const IntCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.text) << "\" -> " << c.expected;
}

class IntegerKeyTest : public ::testing::TestWithParam<IntCase> { };

TEST_P(IntegerKeyTest, Reads)
{
    EXPECT_EQ(IntegerKey(QStringView(GetParam().text)), GetParam().expected)
        << QString::fromUtf16(GetParam().text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerKeyTest,
    ::testing::Values(IntCase { u"1,234.5", 1234 }, IntCase { u"+15", 15 }, IntCase { u"---", 0 },
        IntCase { u"", 0 }, IntCase { u"-1,000", -1000 }, IntCase { u"  42株", 42 }, IntCase { u"abc", 0 },
        IntCase { u"-", 0 },
        // Beyond 32 bits the order still holds (trading values, volumes).
        IntCase { u"3,000,000,000", 3000000000LL },
        IntCase { u"99999999999999999999", std::numeric_limits<qint64>::max() },
        IntCase { u"-99999999999999999999", std::numeric_limits<qint64>::min() },
        IntCase { u"-9223372036854775808", std::numeric_limits<qint64>::min() },
        IntCase { u"9223372036854775807", std::numeric_limits<qint64>::max() }));

TEST(RangeKey, CutsAtTheFullWidthTilde)
{
    EXPECT_EQ(RangeKey(u"1,500～2,500"), 1500);
    EXPECT_EQ(RangeKey(u"～2,500"), 0);
    EXPECT_EQ(RangeKey(u"700"), 700);
    EXPECT_EQ(RangeKey(u"1,500~2,500"), 1500); // the ASCII tilde ends the number anyway
}

struct CodeCase {
    const char16_t *a;
    const char16_t *b;
    bool aBeforeB;
};

void PrintTo(const CodeCase &c, std::ostream *os)
{
    *os << Utf8(c.a) << (c.aBeforeB ? " < " : " !< ") << Utf8(c.b);
}

class CodeLessTest : public ::testing::TestWithParam<CodeCase> { };

TEST_P(CodeLessTest, Compares)
{
    const CodeCase &c = GetParam();
    EXPECT_EQ(CodeLess(QStringView(c.a), QStringView(c.b)), c.aBeforeB)
        << QString::fromUtf16(c.a).toStdString() << " vs " << QString::fromUtf16(c.b).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, CodeLessTest,
    ::testing::Values(CodeCase { u"1301", u"7203", true }, CodeCase { u"7203", u"13010", true }, // numbers
        CodeCase { u"13010", u"7203", false }, CodeCase { u"7203", u"7203.T", true }, // text
        CodeCase { u"13010", u"8306.T", true }, CodeCase { u"8306.T", u"^DJI", true },
        CodeCase { u"130A", u"1310", true }, CodeCase { u"1301", u"130A", true }, // among four digits
        CodeCase { u"130A", u"9999", true }, CodeCase { u"130A", u"10000", true },
        CodeCase { u"", u"1", true }, CodeCase { u"100", u"0100", true }, // shorter first
        CodeCase { u"0100", u"100", false }, CodeCase { u"0100", u"0100", false },
        CodeCase { u"03311187", u"0331418A", true }, CodeCase { u"99999999999", u"1A.T", true },
        CodeCase { u"1A.T", u"AAPL", true }, CodeCase { u"^DJI", u"130A", false },
        CodeCase { u"AAPL", u"aapl", true }));

// Codes of every kind: all digits of any length (leading zeros, beyond 64 bits), the
// four-character form with letters, suffixes, foreign stocks, world indices, funds, the
// empty code and texts that are none of these.
QString RandomCode(std::mt19937 &random)
{
    const auto pick = [&](const char16_t *alphabet) {
        const std::u16string_view a(alphabet);
        return QChar(a[std::uniform_int_distribution<size_t>(0, a.size() - 1)(random)]);
    };
    const auto digits = [&](int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += pick(u"0123456789");
        return s;
    };
    const auto length = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    switch (std::uniform_int_distribution<int>(0, 8)(random)) {
    case 0:
        return digits(length(0, 6));
    case 1:
        return digits(length(7, 22));
    case 2:
        return digits(1) + pick(u"0123A") + digits(1) + pick(u"0123456789ACbz");
    case 3:
        return digits(4) + u'.' + pick(u"TNSF");
    case 4: {
        QString s;
        for (int i = length(1, 5); i > 0; --i)
            s += pick(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        return s;
    }
    case 5:
        return u'^' + QString(pick(u"DNH")) + pick(u"JSI") + pick(u"IXK");
    case 6:
        return digits(4) + digits(3) + pick(u"0123456789ABC");
    case 7:
        return digits(length(1, 3)) + pick(u"aA.^-\u30c8");
    default: {
        QString s;
        for (int i = length(1, 6); i > 0; --i)
            s += pick(u"019AZaz.^- \u30c8\uff11");
        return s;
    }
    }
}

TEST(CodeOrder, IsAStrictWeakOrderOverCodesOfEveryKind)
{
    std::mt19937 random(20241209);
    std::vector<QString> codes { u"9999"_s, u"10000"_s, u"130A"_s, u""_s, u"0100"_s, u"100"_s };
    while (codes.size() < 160)
        codes.push_back(RandomCode(random));
    const size_t n = codes.size();
    std::vector<char> less(n * n);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < n; ++j)
            less[i * n + j] = CodeLess(codes[i], codes[j]);
    const auto lt = [&](size_t i, size_t j) { return less[i * n + j] != 0; };
    for (size_t i = 0; i < n; ++i) {
        ASSERT_FALSE(lt(i, i)) << codes[i].toStdString();
        for (size_t j = 0; j < n; ++j) {
            ASSERT_FALSE(lt(i, j) && lt(j, i)) << codes[i].toStdString() << " " << codes[j].toStdString();
            for (size_t k = 0; k < n; ++k) {
                ASSERT_FALSE(lt(i, j) && lt(j, k) && !lt(i, k))
                    << codes[i].toStdString() << " < " << codes[j].toStdString() << " < "
                    << codes[k].toStdString();
                const bool ijEqual = !lt(i, j) && !lt(j, i);
                const bool jkEqual = !lt(j, k) && !lt(k, j);
                ASSERT_FALSE(ijEqual && jkEqual && (lt(i, k) || lt(k, i)))
                    << codes[i].toStdString() << " ~ " << codes[j].toStdString() << " ~ "
                    << codes[k].toStdString();
            }
        }
    }
}

// Records whose field holds the given texts, in that order.
class SortFixture : public ::testing::Test {
protected:
    QuoteRecord *add(const QString &code)
    {
        records.push_back(std::make_unique<QuoteRecord>(code));
        rows.push_back(records.back().get());
        return rows.back();
    }
    void addWithSlot(const QString &code, int slot, const QString &text)
    {
        add(code)->values.set(static_cast<size_t>(slot), text);
    }
    QStringList codes() const
    {
        QStringList out;
        for (const QuoteRecord *r : rows)
            out << r->code;
        return out;
    }
    QStringList slotTexts(int slot) const
    {
        QStringList out;
        for (const QuoteRecord *r : rows)
            out << r->values[static_cast<size_t>(slot)].toString();
        return out;
    }
    void sortBy(int field, bool ascending)
    {
        SortOrder order;
        order.field = field;
        order.ascending = ascending;
        SortRows(rows, order);
    }

    std::vector<std::unique_ptr<QuoteRecord>> records;
    RowVector rows;
};

TEST_F(SortFixture, ChangeRateAscendingAndDescending)
{
    for (const char16_t *t : { u"+0.80%", u"", u"-0.35%", u"-3.10%" })
        addWithSlot(QString::fromUtf16(t), SlotRatio, QString::fromUtf16(t));
    sortBy(6, true);
    EXPECT_EQ(slotTexts(SlotRatio), (QStringList { u"-3.10%"_s, u"-0.35%"_s, u""_s, u"+0.80%"_s }));
    sortBy(6, false);
    EXPECT_EQ(slotTexts(SlotRatio), (QStringList { u"+0.80%"_s, u""_s, u"-0.35%"_s, u"-3.10%"_s }));
}

TEST_F(SortFixture, CodesAscending)
{
    for (const char16_t *c : { u"7203", u"^DJI", u"13010", u"8306.T", u"1301" })
        add(QString::fromUtf16(c));
    sortBy(FieldCode, true);
    EXPECT_EQ(codes(), (QStringList { u"1301"_s, u"7203"_s, u"13010"_s, u"8306.T"_s, u"^DJI"_s }));
    sortBy(FieldCode, false);
    EXPECT_EQ(codes(), (QStringList { u"^DJI"_s, u"8306.T"_s, u"13010"_s, u"7203"_s, u"1301"_s }));
}

TEST_F(SortFixture, CodeOrderDoesNotDependOnTheRowsEarlierOrder)
{
    for (int i = 0; i < 200; ++i) {
        add(QString::number(i * 53));
        add(QString::number(i * 53) + u'A');
    }
    sortBy(FieldCode, true);
    const QStringList once = codes();
    std::mt19937 random(7);
    std::shuffle(rows.begin(), rows.end(), random);
    sortBy(FieldCode, true);
    EXPECT_EQ(codes(), once);
    // 530A among the four-digit codes, by code unit; the five-digit codes after them.
    EXPECT_LT(once.indexOf(u"5300"_s), once.indexOf(u"530A"_s));
    EXPECT_LT(once.indexOf(u"530A"_s), once.indexOf(u"5353"_s));
    EXPECT_LT(once.indexOf(u"9964"_s), once.indexOf(u"10017"_s));
}

TEST_F(SortFixture, IntegerRuleTiesKeepTheirOrder)
{
    addWithSlot(u"a"_s, SlotVolume, u"---"_s);
    addWithSlot(u"b"_s, SlotVolume, u"1,000"_s);
    addWithSlot(u"c"_s, SlotVolume, u""_s);
    addWithSlot(u"d"_s, SlotVolume, u"999"_s);
    sortBy(7, true);
    EXPECT_EQ(codes(), (QStringList { u"a"_s, u"c"_s, u"d"_s, u"b"_s }));
    sortBy(7, false);
    EXPECT_EQ(codes(), (QStringList { u"b"_s, u"d"_s, u"a"_s, u"c"_s }));
}

TEST_F(SortFixture, TextRuleIsByCodeUnit)
{
    for (const char16_t *t : { u"b", u"B", u"トヨタ", u"a", u"Ａ" })
        addWithSlot(QString::fromUtf16(t), SlotName, QString::fromUtf16(t));
    sortBy(2, true);
    EXPECT_EQ(codes(), (QStringList { u"B"_s, u"a"_s, u"b"_s, u"トヨタ"_s, u"Ａ"_s }));
}

TEST_F(SortFixture, RangeRule)
{
    addWithSlot(u"a"_s, SlotPriceLimit, u"1,500～2,500"_s);
    addWithSlot(u"b"_s, SlotPriceLimit, u"300～500"_s);
    addWithSlot(u"c"_s, SlotPriceLimit, u"---"_s);
    sortBy(17, true);
    EXPECT_EQ(codes(), (QStringList { u"c"_s, u"b"_s, u"a"_s }));
}

TEST_F(SortFixture, RealRuleReadsStopPricesAsZero)
{
    addWithSlot(u"a"_s, SlotHigh, u"1,000"_s);
    addWithSlot(u"b"_s, SlotHigh, u"STOP 1,234.5"_s);
    addWithSlot(u"c"_s, SlotHigh, u"-1"_s);
    sortBy(10, true);
    EXPECT_EQ(codes(), (QStringList { u"c"_s, u"b"_s, u"a"_s }));
}

TEST_F(SortFixture, TimesAndHoldingNumbersCompareAsStored)
{
    QuoteRecord *a = add(u"a"_s);
    QuoteRecord *b = add(u"b"_s);
    QuoteRecord *c = add(u"c"_s);
    a->datetime = 300;
    b->datetime = 100;
    c->datetime = 200;
    sortBy(14, true);
    EXPECT_EQ(codes(), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
    a->buyday = -5; // before 1970
    b->buyday = 10;
    c->buyday = 0;
    sortBy(35, false);
    EXPECT_EQ(codes(), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
    // Holding figures compare whether or not the row has holdings.
    a->loss = -10;
    b->loss = std::numeric_limits<double>::quiet_NaN();
    c->loss = 5;
    a->has_holdings = true;
    sortBy(38, true);
    EXPECT_EQ(codes(), (QStringList { u"b"_s, u"a"_s, u"c"_s }));
}

TEST_F(SortFixture, AnchorColumnKeepsTheOrder)
{
    for (const char16_t *c : { u"3", u"1", u"2" })
        add(QString::fromUtf16(c));
    sortBy(0, true);
    EXPECT_EQ(codes(), (QStringList { u"3"_s, u"1"_s, u"2"_s }));
    sortBy(0, false);
    EXPECT_EQ(codes(), (QStringList { u"3"_s, u"1"_s, u"2"_s }));
}

TEST_F(SortFixture, RowColoursWithDefaultsAsSystemColours)
{
    add(u"a"_s)->text_color = 0x000080;
    add(u"b"_s); // default text colour: sorts as 0x000010 here
    add(u"c"_s)->text_color = 0x000001;
    SortOrder order;
    order.key = SortOrder::TextColor;
    order.defaultTextColor = 0x000010;
    SortRows(rows, order);
    EXPECT_EQ(codes(), (QStringList { u"c"_s, u"b"_s, u"a"_s }));
    // Background colours compare unsigned: a value with the top bit set sorts last.
    rows[0]->back_color = static_cast<qint32>(0x80000000u);
    order.key = SortOrder::BackColor;
    order.defaultBackColor = 0xFFFFFF;
    SortRows(rows, order);
    EXPECT_EQ(rows.back()->back_color, static_cast<qint32>(0x80000000u));
}

TEST_F(SortFixture, RecordLessAgreesWithTheSort)
{
    for (const char16_t *t : { u"5", u"-1", u"3,000", u"", u"2.5" })
        addWithSlot(QString::fromUtf16(t), SlotPrice, QString::fromUtf16(t));
    for (bool up : { true, false }) {
        SortOrder order;
        order.field = 4;
        order.ascending = up;
        SortRows(rows, order);
        for (size_t i = 1; i < rows.size(); ++i)
            EXPECT_FALSE(RecordLess(*rows[i], *rows[i - 1], order)) << i;
    }
}

TEST_F(SortFixture, SelectionFollowsTheCodes)
{
    for (const char16_t *t : { u"e", u"d", u"c", u"b", u"a" })
        addWithSlot(QString::fromUtf16(t), SlotName, QString::fromUtf16(t));
    SortOrder order;
    order.field = 2;
    // Rows 0 ("e"), 2 ("c") and 3 ("b") selected before the sort.
    const std::vector<int> after = SortRowsKeepingSelection(rows, order, { 0, 2, 3, 99 });
    EXPECT_EQ(after, (std::vector<int> { 1, 2, 4 }));
    EXPECT_TRUE(SortRowsKeepingSelection(rows, order, {}).empty());
}

TEST(CompareRuleOf, EveryField)
{
    using R = CompareRule;
    const std::map<int, R> expected = {
        { 0, R::None },
        { 1, R::Code },
        { 2, R::Text },
        { 3, R::Text },
        { 15, R::Text },
        { 39, R::Text },
        { 4, R::Real },
        { 5, R::Real },
        { 6, R::Real },
        { 9, R::Real },
        { 10, R::Real },
        { 11, R::Real },
        { 12, R::Real },
        { 13, R::Real },
        { 20, R::Real },
        { 21, R::Real },
        { 22, R::Real },
        { 23, R::Real },
        { 24, R::Real },
        { 25, R::Real },
        { 34, R::Real },
        { 7, R::Integer },
        { 8, R::Integer },
        { 16, R::Integer },
        { 18, R::Integer },
        { 19, R::Integer },
        { 26, R::Integer },
        { 27, R::Integer },
        { 28, R::Integer },
        { 29, R::Integer },
        { 30, R::Integer },
        { 31, R::Integer },
        { 32, R::Integer },
        { 33, R::Integer },
        { 17, R::Range },
        { 14, R::Time },
        { 35, R::Time },
        { 36, R::Number },
        { 37, R::Number },
        { 38, R::Number },
    };
    ASSERT_EQ(expected.size(), 40u);
    for (const auto &[field, rule] : expected)
        EXPECT_EQ(CompareRuleOf(field), rule) << field;
    EXPECT_EQ(CompareRuleOf(40), R::None);
    EXPECT_EQ(CompareRuleOf(-1), R::None);
}

} // namespace
