#include "view/table/FieldList.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(ParseFieldList, ListsAndRanges)
{
    auto r = ParseFieldList(u"1,2,4,14");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, (std::vector<int> { 1, 2, 4, 14 }));
    r = ParseFieldList(u"1-39");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->size(), 39u);
    EXPECT_EQ(r->front(), 1);
    EXPECT_EQ(r->back(), 39);
    r = ParseFieldList(u" 38 , 2-4,7-7 ");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, (std::vector<int> { 38, 2, 3, 4, 7 }));
}

struct BadCase {
    const char16_t *text;
    const char16_t *message;
};

void PrintTo(const BadCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.text) << '"';
}

class ParseFieldListErrors : public ::testing::TestWithParam<BadCase> { };

TEST_P(ParseFieldListErrors, NameTheItem)
{
    const auto r = ParseFieldList(QStringView(GetParam().text));
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().code, kFieldListError);
    EXPECT_EQ(r.error().message, QString::fromUtf16(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseFieldListErrors,
    ::testing::Values(BadCase { u"", u"the field list is empty" },
        BadCase { u"  ", u"the field list is empty" },
        BadCase { u"1,,2", u"invalid field list item \"\": empty item" },
        BadCase { u"1,", u"invalid field list item \"\": empty item" },
        BadCase {
            u"0", u"invalid field list item \"0\": expected a field number 1-39 or a range such as 1-39" },
        BadCase {
            u"40", u"invalid field list item \"40\": expected a field number 1-39 or a range such as 1-39" },
        BadCase { u"1-40",
            u"invalid field list item \"1-40\": expected a field number 1-39 or a range such as 1-39" },
        BadCase {
            u"-3", u"invalid field list item \"-3\": expected a field number 1-39 or a range such as 1-39" },
        BadCase {
            u"3-", u"invalid field list item \"3-\": expected a field number 1-39 or a range such as 1-39" },
        BadCase { u"1-2-3",
            u"invalid field list item \"1-2-3\": expected a field number 1-39 or a range such as 1-39" },
        BadCase {
            u"+5", u"invalid field list item \"+5\": expected a field number 1-39 or a range such as 1-39" },
        BadCase { u"005",
            u"invalid field list item \"005\": expected a field number 1-39 or a range such as 1-39" },
        BadCase { u"abc",
            u"invalid field list item \"abc\": expected a field number 1-39 or a range such as 1-39" },
        BadCase {
            u"５", u"invalid field list item \"５\": expected a field number 1-39 or a range such as 1-39" },
        BadCase { u"9-3", u"invalid field list item \"9-3\": the range runs backwards" },
        BadCase { u"1-5,3", u"invalid field list item \"3\": field 3 is given twice" }));

} // namespace
