#include "document/ErrorCodes.h"
#include "document/workbook/TypedInput.h"
#include "document/workbook/WorkbookCells.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/WorkbookImport.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

struct TypedCase {
    const char16_t *text;
    TypedInput::Kind kind;
    double number;
};

class TypedInputRule : public ::testing::TestWithParam<TypedCase> { };

TEST_P(TypedInputRule, ConvertsAsTyped)
{
    const TypedCase &c = GetParam();
    const TypedInput typed = ParseTypedInput(QStringView(c.text));
    EXPECT_EQ(typed.kind, c.kind) << QString::fromUtf16(c.text).toStdString();
    if (c.kind == TypedInput::Number || c.kind == TypedInput::DateTime) {
        EXPECT_NEAR(typed.number, c.number, 1e-9) << QString::fromUtf16(c.text).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedInputRule,
    ::testing::Values(TypedCase { u"", TypedInput::Empty, 0 }, TypedCase { u"  ", TypedInput::Empty, 0 },
        TypedCase { u"1234", TypedInput::Number, 1234 },
        TypedCase { u"1,234,567", TypedInput::Number, 1234567 },
        TypedCase { u"+12.5", TypedInput::Number, 12.5 }, TypedCase { u"-0.25", TypedInput::Number, -0.25 },
        TypedCase { u".5", TypedInput::Number, 0.5 }, TypedCase { u"12.5%", TypedInput::Number, 0.125 },
        TypedCase { u"1,23", TypedInput::Text, 0 }, TypedCase { u"1234,567", TypedInput::Text, 0 },
        TypedCase { u"1,2345", TypedInput::Text, 0 }, TypedCase { u"---", TypedInput::Text, 0 },
        TypedCase { u"STOP 2,900", TypedInput::Text, 0 }, TypedCase { u"1,900～2,900", TypedInput::Text, 0 },
        TypedCase { u"+", TypedInput::Text, 0 }, TypedCase { u"トヨタ", TypedInput::Text, 0 },
        TypedCase { u"2026/07/16", TypedInput::DateTime, 46219 },
        TypedCase { u"2026/07/16 09:00", TypedInput::DateTime, 46219.375 },
        TypedCase { u"1900/01/01", TypedInput::DateTime, 1 },
        TypedCase { u"1900/03/01", TypedInput::DateTime, 61 },
        TypedCase { u"2026/02/30", TypedInput::Text, 0 },
        TypedCase { u"2026/07/16 24:00", TypedInput::Text, 0 },
        TypedCase { u"1899/12/31", TypedInput::Text, 0 }));

TEST(WorkbookCells, ColumnAddresses)
{
    EXPECT_EQ(ColumnLetters(0), u"A"_s);
    EXPECT_EQ(ColumnLetters(25), u"Z"_s);
    EXPECT_EQ(ColumnLetters(26), u"AA"_s);
    EXPECT_EQ(ColumnLetters(27), u"AB"_s);
    EXPECT_EQ(ColumnLetters(16383), u"XFD"_s);
    EXPECT_EQ(CellAddress(2, 5), u"C5"_s);
    EXPECT_EQ(ColumnRange(2), u"C:C"_s);
}

TEST(WorkbookCells, FormatsAreWrittenInvariant)
{
    EXPECT_EQ(InvariantNumberFormat(LocalNumberFormat(4)), u"#,##0.?? ;[Red]-#,##0.?? ;0.?? "_s);
    EXPECT_EQ(LocalNumberFormat(14), u"yyyy/mm/dd hh:mm "_s);
    EXPECT_TRUE(LocalNumberFormat(2).isEmpty());
}

TEST(WorkbookCells, SheetNames)
{
    EXPECT_EQ(ValidSheetName(u"prices.kabu *"), u"prices.kabu"_s);
    EXPECT_EQ(ValidSheetName(u"a[b]:c*?/\\d"), u"a_b__c____d"_s);
    EXPECT_EQ(ValidSheetName(u" **"), u"Sheet1"_s);
    EXPECT_EQ(ValidSheetName(QString(40, u'x')).size(), 31);
    EXPECT_EQ(UniqueSheetName(u"Toyota", { u"toyota"_s }), u"Toyota (2)"_s);
    EXPECT_EQ(DisplayWidth(u"ab"), 2);
    EXPECT_EQ(DisplayWidth(u"トヨタ"), 6);
}

TEST(DateSerials, RoundTrip)
{
    EXPECT_EQ(DateOfSerial(46219), QDate(2026, 7, 16));
    EXPECT_EQ(DateOfSerial(46219 - 1462, true), QDate(2026, 7, 16));
    EXPECT_FALSE(DateOfSerial(60).has_value());
    EXPECT_FALSE(DateOfSerial(-5).has_value());
}

TEST(WorkbookFormat, RecognisedByContent)
{
    EXPECT_EQ(DetectWorkbookFormat("PK\x03\x04rest"), WorkbookFormat::Xlsx);
    EXPECT_EQ(
        DetectWorkbookFormat(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)), WorkbookFormat::Xls);
    EXPECT_EQ(DetectWorkbookFormat("7203\n"), WorkbookFormat::None);
}

TEST(WorkbookFormat, DamagedZipFailsCleanly)
{
    const QByteArray data = QByteArray("PK\x03\x04") + QByteArray(200, 'x');
    auto grid = ReadWorkbookGrid(data, u"bad.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorDamaged);
}

} // namespace
