#include "corelib/EditString.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct Case {
    qint64 n;
    const char *text;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.n << " -> " << c.text;
}
class EditStringTest : public ::testing::TestWithParam<Case> { };

TEST_P(EditStringTest, GroupsThousands)
{
    EXPECT_EQ(tessera::EditString(GetParam().n), QLatin1String(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Numbers, EditStringTest,
    ::testing::Values(Case { 0, "0" }, Case { 7, "7" }, Case { 999, "999" }, Case { 1000, "1,000" },
        Case { 12345, "12,345" }, Case { 123456, "123,456" }, Case { 1234567, "1,234,567" },
        Case { 1000000000, "1,000,000,000" }, Case { -1, "-1" }, Case { -999, "-999" },
        Case { -1234, "-1,234" }, Case { -123456, "-123,456" },
        Case { std::numeric_limits<qint64>::max(), "9,223,372,036,854,775,807" },
        Case { std::numeric_limits<qint64>::min(), "-9,223,372,036,854,775,808" }));

} // namespace
