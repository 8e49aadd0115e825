#include "corelib/NumberReading.h"
#include "tests/support/CommaDecimalLocale.h"

#include <QString>

#include <gtest/gtest.h>

#include <limits>

namespace {

using tessera::ReadLeadingInteger;
using tessera::ReadLeadingReal;

TEST(ReadLeadingReal, WithoutCommaRemovalStopsAtTheSeparator)
{
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"1,234.5", false), 1.0);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"-1,234.5", false), -1.0);
}

TEST(ReadLeadingReal, PassesOverCommasWhenAsked)
{
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"1,234.5", true), 1234.5);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u" -1,000,000.25円", true), -1000000.25);
}

// A text without digits where the number starts is no number, and tells itself from a zero.
TEST(TryReadLeadingReal, NoDigitsIsNoValue)
{
    for (const char16_t *text : { u"", u"---", u"-", u"+.", u" STOP 1,234", u",", u"e5" })
        EXPECT_FALSE(tessera::TryReadLeadingReal(text, true).has_value())
            << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(tessera::TryReadLeadingReal(u"0", true), 0.0);
    EXPECT_EQ(tessera::TryReadLeadingReal(u"-.5%", true), -0.5);
    EXPECT_EQ(tessera::TryReadLeadingReal(u"1,234.5", true), 1234.5);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"---", true), 0.0) << "the plain reading stays 0";
}

// strtod and sscanf read "1234,5" under de_DE and stop at "."; these never do.
TEST(NumberReading, IgnoresACommaDecimalLocale)
{
    const CommaDecimalLocale locale;
    ASSERT_TRUE(locale.active()) << "no comma-decimal locale: " << locale.name().constData();
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"1234.5", false), 1234.5);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"1,234.5", true), 1234.5);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"1234,5", false), 1234.0);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(u"2.5e3", false), 2500.0);
    EXPECT_EQ(ReadLeadingInteger(u"1,234.5", true), 1234);
}

TEST(ReadLeadingInteger, SaturatesAtSixtyFourBits)
{
    EXPECT_EQ(ReadLeadingInteger(u"99999999999999999999", false), std::numeric_limits<qint64>::max());
    EXPECT_EQ(ReadLeadingInteger(u"-99999999999999999999", false), std::numeric_limits<qint64>::min());
}

} // namespace
