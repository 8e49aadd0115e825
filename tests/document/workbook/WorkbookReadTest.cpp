// Workbooks written by other programs (tests/data/workbooks, made by make_fixtures.py with
// openpyxl and xlwt) read as grids and imported as lists; failed opens leave the open list.
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"
#include "document/DocumentIo.h"
#include "document/ErrorCodes.h"
#include "document/ListFile.h"
#include "document/ListLoader.h"
#include "document/workbook/WorkbookGrid.h"
#include "quotes/QuoteRecord.h"
#include "view/table/WorkbookColumns.h"

#include "tests/support/QtTestEnvironment.h"
#include "tests/support/TestPaths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

QString fixture(const char *name)
{
    return quotra::test::dataPath(u"workbooks/") + QLatin1StringView(name);
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

tessera::Result<WorkbookGrid> gridOf(const char *name)
{
    const QString p = fixture(name);
    const QByteArray data = bytesOf(p);
    EXPECT_FALSE(data.isEmpty()) << name;
    return ReadWorkbookGrid(data, p);
}

ListLoadOptions loadOptions()
{
    ListLoadOptions options;
    options.workbook.columns = &WorkbookColumns();
    return options;
}

tessera::Result<LoadedList> importOf(const char *name)
{
    return LoadList(fixture(name), loadOptions());
}

qint64 localSeconds(int y, int m, int d, int hh = 0, int mm = 0)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm)).toSecsSinceEpoch();
}

const QuoteRecord &row(const LoadedList &list, const QString &code)
{
    static const QuoteRecord none;
    auto it = list.rows.find(code);
    EXPECT_NE(it, list.rows.end()) << code.toStdString();
    return it == list.rows.end() ? none : *it->second;
}

QString value(const QuoteRecord &r, int slot)
{
    return QStringView(r.values[slot]).toString();
}

// ---- Grids

TEST(WorkbookGridOfOtherWriters, HeaderBelowTitleRowsKeepsTheUsedRange)
{
    auto grid = gridOf("header_below_titles.xlsx");
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_EQ(grid->rows, 8);
    EXPECT_EQ(grid->columns, 4);
    EXPECT_EQ(grid->at(0, 0).text, u"株価一覧"_s);
    EXPECT_EQ(grid->at(2, 0).kind, WorkbookValue::Empty);
    EXPECT_EQ(grid->at(3, 0).text, u"コード"_s);
    ASSERT_EQ(grid->at(4, 0).kind, WorkbookValue::Number);
    EXPECT_EQ(grid->at(4, 0).number, 7203);
    EXPECT_NEAR(grid->at(4, 3).number, 46219.375, 1e-6);
    EXPECT_FALSE(grid->date1904);
}

TEST(WorkbookGridOfOtherWriters, SharedInlineRichFormulaErrorBoolean)
{
    auto grid = gridOf("strings_raw.xlsx");
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    // Row 6 holds only a dangling shared-string index and a number cell that is no number.
    EXPECT_EQ(grid->rows, 5);
    EXPECT_EQ(grid->columns, 3);
    EXPECT_EQ(grid->at(0, 2).text, u"現在値"_s);
    EXPECT_EQ(grid->at(1, 0).kind, WorkbookValue::Empty); // the missing row 2
    EXPECT_EQ(grid->at(2, 0).text, u"7203"_s); // inline string
    EXPECT_EQ(grid->at(2, 1).text, u"トヨタ 自動車"_s); // rich runs, without the reading aid
    EXPECT_EQ(grid->at(2, 2).number, 2788.5); // the formula's cached value
    EXPECT_EQ(grid->at(3, 0).text, u"6758"_s); // inline rich string
    EXPECT_EQ(grid->at(3, 1).text, u"ソニー"_s); // string formula
    EXPECT_EQ(grid->at(3, 2).kind, WorkbookValue::Empty); // error
    EXPECT_EQ(grid->at(4, 0).number, 9432);
    EXPECT_EQ(grid->at(4, 1).kind, WorkbookValue::Empty); // boolean
    EXPECT_NEAR(grid->at(4, 2).number, 46219.375, 1e-6); // "d" cell
}

TEST(WorkbookGridOfOtherWriters, Date1904IsFlagged)
{
    auto grid = gridOf("date1904.xlsx");
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_TRUE(grid->date1904);
    EXPECT_NEAR(grid->at(1, 3).number, 46219.375 - 1462, 1e-6);
}

TEST(WorkbookGridOfOtherWriters, XlsDatesComeBackAsDateNumbers)
{
    auto grid = gridOf("dates.xls");
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_EQ(grid->rows, 3);
    EXPECT_EQ(grid->columns, 5);
    EXPECT_EQ(grid->at(0, 0).text, u"コード"_s);
    EXPECT_EQ(grid->at(1, 0).number, 7203);
    ASSERT_EQ(grid->at(1, 3).kind, WorkbookValue::Number);
    EXPECT_NEAR(grid->at(1, 3).number, 46219.375, 1e-6);
    ASSERT_EQ(grid->at(1, 4).kind, WorkbookValue::Number);
    EXPECT_NEAR(grid->at(1, 4).number, 45748, 1e-9);
    EXPECT_EQ(grid->at(2, 0).text, u"6758"_s);
}

// ---- Imports

TEST(WorkbookImportOfOtherWriters, HeaderBelowTitles)
{
    auto list = importOf("header_below_titles.xlsx");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    ASSERT_EQ(list->rows.size(), 2u); // the row without a code and the repeated code are left out
    const QuoteRecord &toyota = row(*list, u"7203"_s); // from the number 7203
    EXPECT_EQ(value(toyota, SlotName), u"トヨタ自動車"_s);
    EXPECT_EQ(value(toyota, SlotPrice), u"2,788.5"_s);
    EXPECT_EQ(toyota.datetime, localSeconds(2026, 7, 16, 9, 0));
    const QuoteRecord &sony = row(*list, u"6758"_s);
    EXPECT_EQ(value(sony, SlotPrice), u"3,397"_s);
    EXPECT_EQ(sony.datetime, localSeconds(2026, 7, 16, 9, 5));
    EXPECT_FALSE(sony.has_holdings);
    ASSERT_TRUE(list->layout.has_value());
    EXPECT_EQ(list->layout->indexList, u"0,1,2,4,14,"_s);
}

TEST(WorkbookImportOfOtherWriters, Date1904GivesTheSameTime)
{
    auto list = importOf("date1904.xlsx");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    EXPECT_EQ(row(*list, u"7203"_s).datetime, localSeconds(2026, 7, 16, 9, 0));
}

TEST(WorkbookImportOfOtherWriters, Holdings)
{
    auto list = importOf("holdings.xlsx");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    const QuoteRecord &r = row(*list, u"7203"_s);
    EXPECT_TRUE(r.has_holdings);
    EXPECT_EQ(r.buyday, localSeconds(2025, 4, 1));
    EXPECT_EQ(r.amount, 250000);
    EXPECT_EQ(r.shares, 100);
    EXPECT_EQ(r.loss, -1234.5);
    EXPECT_EQ(r.memo, u"長期"_s);
    EXPECT_FALSE(row(*list, u"6758"_s).has_holdings); // its holdings cells are empty
}

// Rates in percent formats read as the percent they show, with two decimals and the rate's
// "+"; times with seconds keep their minute; memos typed as numbers and dates read as shown.
TEST(WorkbookImportOfOtherWriters, NumberFormatsOfTheCells)
{
    auto list = importOf("formats.xlsx");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    struct Expected {
        const char16_t *code, *rate, *memo;
        qint64 time;
    };
    const Expected rows[] = {
        { u"7203", u"-0.78%", u"42", localSeconds(2025, 1, 5, 8, 5) },
        { u"6758", u"+0.44%", u"1,200", localSeconds(2025, 1, 5, 8, 6) },
        { u"9984", u"+0.02", u"50%", localSeconds(2025, 1, 5, 15, 0) },
        { u"8306", u"+1.50", u"2025/1/5", localSeconds(2025, 1, 5, 15, 0) },
    };
    for (const Expected &e : rows) {
        const QString code = QString::fromUtf16(e.code);
        SCOPED_TRACE(code.toStdString());
        const QuoteRecord &r = row(*list, code);
        EXPECT_EQ(value(r, SlotOfField(FieldRatio)), QString::fromUtf16(e.rate));
        EXPECT_EQ(r.memo, QString::fromUtf16(e.memo));
        EXPECT_EQ(r.datetime, e.time);
    }
}

TEST(WorkbookImportOfOtherWriters, TheActiveSheetNotTheFirst)
{
    auto list = importOf("active_second.xlsx");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    ASSERT_EQ(list->rows.size(), 1u);
    EXPECT_EQ(value(row(*list, u"9432"_s), SlotName), u"NTT"_s);
}

TEST(WorkbookImportOfOtherWriters, RawStrings)
{
    auto list = importOf("strings_raw.xlsx");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    ASSERT_EQ(list->rows.size(), 3u);
    EXPECT_EQ(value(row(*list, u"7203"_s), SlotName), u"トヨタ 自動車"_s);
    EXPECT_EQ(value(row(*list, u"6758"_s), SlotPrice), QString());
    EXPECT_EQ(value(row(*list, u"9432"_s), SlotName), QString());
}

TEST(WorkbookImportOfOtherWriters, XlsWithDates)
{
    auto list = importOf("dates.xls");
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    const QuoteRecord &r = row(*list, u"7203"_s);
    EXPECT_EQ(r.datetime, localSeconds(2026, 7, 16, 9, 0));
    EXPECT_EQ(r.buyday, localSeconds(2025, 4, 1));
    EXPECT_TRUE(r.has_holdings);
    EXPECT_EQ(value(row(*list, u"6758"_s), SlotPrice), u"3,397"_s);
}

struct Refused {
    const char *file;
    int code;
    int textId;
    const char *detail; // part of the reason, or nullptr
};

class RefusedWorkbook : public ::testing::TestWithParam<Refused> { };

TEST_P(RefusedWorkbook, ImportFails)
{
    const Refused &c = GetParam();
    auto list = importOf(c.file);
    ASSERT_FALSE(list.ok());
    EXPECT_EQ(list.error().code, c.code) << list.error().message.toStdString();
    if (c.detail) {
        EXPECT_TRUE(list.error().message.contains(QString::fromUtf8(c.detail)))
            << list.error().message.toStdString();
    }
}

// The open document: a failure names the file after the user's text and keeps the open list,
// its name and its modified flag.
TEST_P(RefusedWorkbook, OpenLeavesTheOpenListUntouched)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CQuotraDoc doc;
    RecordMap rows;
    auto previous = std::make_unique<QuoteRecord>(u"9432"_s);
    previous->values.set(SlotPrice, u"150"_s);
    rows.emplace(u"9432"_s, std::move(previous));
    ColumnLayout layout;
    layout.orderList = u"0,1,"_s;
    layout.alignList = u"0,1,"_s;
    layout.widthList = u"0,60,"_s;
    layout.indexList = u"0,1,"_s;
    const QString listPath = dir.filePath(u"previous.kabu"_s);
    ASSERT_TRUE(SaveListFile(listPath, rows, layout).ok());
    ASSERT_TRUE(OpenDocument(doc, listPath, loadOptions()).ok());
    doc.MarkModified();
    const QString pathBefore = doc.GetPathName();
    const QString titleBefore = doc.title();

    const Refused &c = GetParam();
    const QString p = fixture(c.file);
    auto opened = OpenDocument(doc, p, loadOptions());
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error().message.startsWith(
        tessera::ResourceString(c.textId) + u'\n' + QFileInfo(p).absoluteFilePath()))
        << opened.error().message.toStdString();
    ASSERT_EQ(doc.rows().size(), 1u);
    EXPECT_EQ(doc.rows().begin()->first, u"9432"_s);
    EXPECT_EQ(doc.GetPathName(), pathBefore);
    EXPECT_EQ(doc.title(), titleBefore);
    EXPECT_TRUE(doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RefusedWorkbook,
    ::testing::Values(Refused { "wide41.xlsx", WorkbookErrorNoValues, 2205, "41 columns" },
        Refused { "no_code.xlsx", WorkbookErrorNoCodeColumn, 2224, nullptr },
        Refused { "no_rows.xlsx", WorkbookErrorNoValues, 2205, nullptr },
        Refused { "before1970.xlsx", WorkbookErrorBadDate, 2205, "D3" }),
    [](const ::testing::TestParamInfo<Refused> &info) {
        std::string n = info.param.file;
        return n.substr(0, n.find('.'));
    });

} // namespace
