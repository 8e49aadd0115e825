// Lists saved as workbooks by our writer and opened again by our reader keep what they were
// given; workbooks of other writers read numbers and dates as their cells show them.
#include "document/ErrorCodes.h"
#include "document/ListLoader.h"
#include "document/workbook/ShownNumber.h"
#include "document/workbook/TypedInput.h"
#include "document/workbook/WorkbookCells.h"
#include "document/workbook/WorkbookExport.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/XlsxBook.h"
#include "quotes/QuoteRecord.h"
#include "view/table/ListTable.h"
#include "view/table/WorkbookColumns.h"

#include "tests/support/QtTestEnvironment.h"
#include "tests/support/RowBuilders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

struct RoundTripRow {
    const char16_t *code;
    const char16_t *name;
    const char16_t *market;
    const char16_t *price;
    const char16_t *ratio;
    const char16_t *status;
    const char16_t *memo;
    const char16_t *ratioRead; // the rate as it comes back
};

// Codes, names, markets and memos that read like numbers or dates, rates in percent.
constexpr RoundTripRow kRows[] = {
    { u"03311187", u"ｅＭＡＸＩＳ Ｓｌｉｍ", u"投信", u"31,015", u"-0.78%", u"更新済", u"42", u"-0.78%" },
    { u"7203", u"トヨタ自動車", u"東証PRM", u"3,000", u"+0.44%", u"更新済", u"1,200", u"+0.44%" },
    { u"6758", u"1,234", u"100", u"13,000.5", u"0.00%", u"2025/1/5", u"50%", u"0.00%" },
    { u"9984", u"2025/1/5", u"東証PRM", u"---", u"---", u"ERROR:取得失敗", u"2025/1/5", u"---" },
    { u"8306", u"三菱ＵＦＪ", u"東証PRM", u"1,500", u"+1.50", u"更新済", u"NISA口座\r\n2行目", u"+1.50" },
    { u"1301", u"極洋", u"東証PRM", u"4,000", u"-12.35%", u"更新済", u"_x0041_ と _x000D_", u"-12.35%" },
};

ListLoadOptions loadOptions()
{
    ListLoadOptions options;
    options.workbook.columns = &WorkbookColumns();
    return options;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class WorkbookRoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const RoundTripRow &row : kRows) {
            auto r = std::make_unique<QuoteRecord>(QString::fromUtf16(row.code));
            r->values.set(SlotName, QString::fromUtf16(row.name));
            r->values.set(SlotMarket, QString::fromUtf16(row.market));
            r->values.set(SlotPrice, QString::fromUtf16(row.price));
            r->values.set(static_cast<size_t>(SlotOfField(FieldRatio)), QString::fromUtf16(row.ratio));
            r->values.set(static_cast<size_t>(SlotOfField(FieldStatus)), QString::fromUtf16(row.status));
            r->has_holdings = true;
            r->shares = 100;
            r->memo = QString::fromUtf16(row.memo);
            const QString code = r->code;
            m_rows.emplace(code, std::move(r));
        }
        const ColumnLayout layout = MakeLayout(
            { { FieldCode, 1, 50 }, { FieldName, 0, 200 }, { FieldMarket, 2, 80 }, { FieldPrice, 1, 80 },
                { FieldRatio, 1, 80 }, { FieldStatus, 0, 100 }, { FieldMemo, 0, 120 } },
            0, true);
        m_table.refresh(m_rows, &layout);
    }

    QTemporaryDir m_dir;
    RecordMap m_rows;
    ListTable m_table;
};

TEST_F(WorkbookRoundTrip, CodesNamesRatesAndMemosComeBackAsWritten)
{
    const QString file = m_dir.filePath(u"list.xlsx"_s);
    ASSERT_TRUE(ExportWorkbook(file, m_table));
    const tessera::Result<LoadedList> list = LoadList(file, loadOptions());
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    ASSERT_EQ(list->rows.size(), std::size(kRows));
    for (const RoundTripRow &row : kRows) {
        const QString code = QString::fromUtf16(row.code);
        SCOPED_TRACE(code.toStdString());
        const auto it = list->rows.find(code);
        ASSERT_NE(it, list->rows.end());
        const QuoteRecord &r = *it->second;
        EXPECT_EQ(QStringView(r.values[SlotName]), QStringView(row.name));
        EXPECT_EQ(QStringView(r.values[SlotMarket]), QStringView(row.market));
        EXPECT_EQ(QStringView(r.values[SlotPrice]), QStringView(row.price));
        EXPECT_EQ(QStringView(r.values[SlotOfField(FieldRatio)]), QStringView(row.ratioRead));
        // A status column fills the slot the column table gives it.
        EXPECT_EQ(QStringView(r.values[WorkbookColumns()[FieldStatus].importSlot]), QStringView(row.status));
        EXPECT_EQ(r.memo, QString::fromUtf16(row.memo));
    }
}

// The value columns keep the typed-input rule: a price is a number cell, a rate a number in
// a percent format with the column's sign rule; codes, names and memos are text cells.
TEST_F(WorkbookRoundTrip, ValueColumnsStayNumbers)
{
    const QString file = m_dir.filePath(u"list.xlsx"_s);
    ASSERT_TRUE(ExportWorkbook(file, m_table));
    const tessera::Result<WorkbookGrid> grid = ReadWorkbookGrid(bytesOf(file), file);
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    ASSERT_EQ(grid->columns, 7);
    // Row 1 of the sheet is the header; the rows follow in the table's order (by code).
    for (int r = 1; r < grid->rows; ++r) {
        SCOPED_TRACE(r);
        for (int c : { 0, 1, 2, 5, 6 })
            EXPECT_EQ(grid->at(r, c).kind, WorkbookValue::Text) << "column " << c;
    }
    const auto rowOf = [&](const QString &code) {
        for (int r = 1; r < grid->rows; ++r) {
            if (grid->at(r, 0).text == code)
                return r;
        }
        return -1;
    };
    const int fund = rowOf(u"03311187"_s);
    ASSERT_GT(fund, 0);
    EXPECT_EQ(grid->at(fund, 3).kind, WorkbookValue::Number);
    EXPECT_EQ(grid->at(fund, 3).number, 31015);
    const WorkbookValue &rate = grid->at(fund, 4);
    ASSERT_EQ(rate.kind, WorkbookValue::Number);
    EXPECT_NEAR(rate.number, -0.0078, 1e-12);
    EXPECT_EQ(grid->formatOf(rate), u"+0.00% ;[Red]-0.00% ;0.00% "_s);
}

// A workbook saved through a symbolic link replaces the link's target and leaves the link,
// keeping the target's permissions; nothing of the save is left beside it.
TEST_F(WorkbookRoundTrip, SavingThroughALinkReplacesItsTarget)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"data"_s));
    const QString target = m_dir.filePath(u"data/list.xlsx"_s);
    ASSERT_TRUE(QFile(target).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const QString link = m_dir.filePath(u"list.xlsx"_s);
    ASSERT_TRUE(QFile::link(u"data/list.xlsx"_s, link));
    ASSERT_TRUE(ExportWorkbook(link, m_table));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    EXPECT_FALSE(QFile::permissions(target) & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const tessera::Result<LoadedList> list = LoadList(target, loadOptions());
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    EXPECT_EQ(list->rows.size(), std::size(kRows));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
        QStringList { u"list.xlsx"_s });
    EXPECT_EQ(QDir(m_dir.filePath(u"data"_s)).entryList(QDir::Files | QDir::Hidden),
        QStringList { u"list.xlsx"_s });
}

// A workbook as other programs (and our own earlier versions) write it: codes as numbers,
// memos typed into numbers and dates, rates as numbers in percent formats, times with
// seconds.
TEST(WorkbookOfOtherWriters, NumbersAndDatesReadAsTheirCellsShowThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(u"others.xlsx"_s);
    const WorkbookColumnTable &columns = WorkbookColumns();
    const int fields[] = { FieldCode, FieldRatio, FieldDatetime, FieldMemo };
    struct Cell {
        double number;
        const char16_t *format; // local form; empty for the general format
    };
    struct Row {
        double code;
        Cell ratio;
        Cell time;
        Cell memo;
        const char16_t *ratioRead, *memoRead;
        QDateTime timeRead; // local time, to the minute
    };
    const double day = *DateSerial1900(QDate(2025, 1, 5));
    const double at080559 = day + (8 * 3600 + 5 * 60 + 59) / 86400.0;
    const QDate jan5(2025, 1, 5);
    const Row rows[] = {
        { 7203, { -0.0078, u"0.00%" }, { at080559, u"yyyy/m/d h:mm" }, { 42, u"" }, u"-0.78%", u"42",
            QDateTime(jan5, QTime(8, 5)) },
        { 6758, { 0.0044, u"0%" }, { at080559 + 0.6 / 86400, u"yyyy/mm/dd hh:mm:ss" }, { 1200, u"#,##0" },
            u"+0.44%", u"1,200", QDateTime(jan5, QTime(8, 6)) },
        { 9984, { 0.0196, u"+0.00 ;[赤]-0.00 ;0.00 " }, { day + 0.99999999, u"yyyy/m/d h:mm" },
            { 0.5, u"0%" }, u"+0.02", u"50%", QDateTime(jan5.addDays(1), QTime(0, 0)) },
        { 8306, { 1.5, u"" }, { day + 0.5, u"yyyy/m/d h:mm" }, { day, u"yyyy/m/d" }, u"+1.50", u"2025/1/5",
            QDateTime(jan5, QTime(12, 0)) },
        { 1301, { -2, u"" }, { day, u"yyyy/m/d h:mm" }, { at080559, u"yyyy/m/d h:mm" }, u"-2.00",
            u"2025/1/5 8:05", QDateTime(jan5, QTime(0, 0)) },
        { 1332, { 0, u"" }, { day, u"yyyy/m/d h:mm" }, { 1234.5678, u"0.00" }, u"0.00", u"1234.57",
            QDateTime(jan5, QTime(0, 0)) },
    };
    {
        XlsxBook book(file, true);
        lxw_worksheet *sheet = book.addSheet(u"Sheet1"_s);
        for (int c = 0; c < 4; ++c)
            book.writeText(sheet, 0, c, columns[static_cast<size_t>(fields[c])].title, book.format(-1, {}));
        int r = 1;
        for (const Row &row : rows) {
            const auto number = [&](int c, double value, QStringView format) {
                book.writeTyped(
                    sheet, r, c, QString::number(value, 'g', 17), book.format(-1, format), -1, format);
            };
            number(0, row.code, {});
            number(1, row.ratio.number, row.ratio.format);
            number(2, row.time.number, row.time.format);
            number(3, row.memo.number, row.memo.format);
            ++r;
        }
        ASSERT_TRUE(book.close());
    }
    const tessera::Result<LoadedList> list = LoadList(file, loadOptions());
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    for (const Row &row : rows) {
        const QString code = QString::asprintf("%.0f", row.code);
        SCOPED_TRACE(code.toStdString());
        const auto it = list->rows.find(code);
        ASSERT_NE(it, list->rows.end());
        const QuoteRecord &r = *it->second;
        EXPECT_EQ(QStringView(r.values[SlotOfField(FieldRatio)]), QStringView(row.ratioRead));
        EXPECT_EQ(r.memo, QString::fromUtf16(row.memoRead));
        EXPECT_EQ(QDateTime::fromSecsSinceEpoch(r.datetime), row.timeRead);
    }
}

struct ShownCase {
    double value;
    const char16_t *format;
    const char16_t *shown;
};

TEST(ShownNumber, FormatsShowAsASpreadsheetShowsThem)
{
    const double day = *DateSerial1900(QDate(2025, 1, 5));
    const ShownCase cases[] = {
        { 42, u"", u"42" },
        { 0.1 + 0.2, u"General", u"0.3" },
        { 1234567.891, u"#,##0.00", u"1,234,567.89" },
        { -1200, u"#,##0 ;[Red]-#,##0 ", u"-1,200" },
        { 0.125, u"0.0%", u"12.5%" },
        { 1200, u"0.00E+00", u"1.20E+03" },
        { day + 0.5, u"yyyy\"年\"m\"月\"d\"日\"", u"2025/1/5" },
        { day + (9 * 3600 + 30 * 60 + 15) / 86400.0, u"yyyy/m/d h:mm:ss", u"2025/1/5 9:30:15" },
    };
    for (const ShownCase &c : cases) {
        EXPECT_EQ(ShownNumberText(c.value, c.format, false), QString::fromUtf16(c.shown))
            << QString::fromUtf16(c.format).toStdString();
    }
    EXPECT_TRUE(IsPercentFormat(u"+0.00% ;[Red]-0.00% ;0.00% "));
    EXPECT_FALSE(IsPercentFormat(u"0.00\"%\""));
    EXPECT_FALSE(IsPercentFormat(u"0.00\\%"));
}

} // namespace
