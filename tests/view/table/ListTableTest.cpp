#include "view/table/ListTable.h"
#include "view/table/ColumnTable.h"

#include "corelib/LanguageModule.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ListTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tessera::LanguageModule::instance().load(); }

    QuoteRecord *add(const QString &code, const QString &name, const QString &yield = {})
    {
        auto r = std::make_unique<QuoteRecord>(code);
        r->values.set(SlotName, name);
        r->values.set(SlotYield, yield);
        QuoteRecord *raw = r.get();
        records[code] = std::move(r);
        return raw;
    }
    static QStringList codes(const ListTable &t)
    {
        QStringList out;
        for (const QuoteRecord *r : t.rows())
            out << r->code;
        return out;
    }

    RecordMap records;
};

TEST_F(ListTableTest, RefreshKeepsKeyOrderOnTheAnchorColumn)
{
    add(u"7203"_s, u"c"_s);
    add(u"1301"_s, u"b"_s);
    add(u"13010"_s, u"a"_s);
    ListTable t;
    t.refresh(records);
    // Map order is code-unit order; the default layout sorts on the anchor: kept.
    EXPECT_EQ(codes(t), (QStringList { u"1301"_s, u"13010"_s, u"7203"_s }));
    EXPECT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.columnCount(), 15);
}

TEST_F(ListTableTest, RefreshAppliesTheFileLayoutAndItsSort)
{
    add(u"7203"_s, u"c"_s);
    add(u"1301"_s, u"b"_s);
    add(u"13010"_s, u"a"_s);
    ListTable t;
    const ColumnLayout file = LayoutForFields({ 2, 1 }, PackSort(2, true));
    t.refresh(records, &file);
    EXPECT_EQ(codes(t), (QStringList { u"1301"_s, u"7203"_s, u"13010"_s }));
    EXPECT_EQ(t.header().sortField(), 1);
    // A later refresh keeps the sort state.
    add(u"1"_s, u"z"_s);
    t.refresh(records);
    EXPECT_EQ(codes(t).front(), u"1"_s);
}

TEST_F(ListTableTest, HeaderClicksReverseAndSelectionFollows)
{
    add(u"a"_s, u"3"_s);
    add(u"b"_s, u"1"_s);
    add(u"c"_s, u"2"_s);
    ListTable t;
    t.refresh(records);
    const int nameColumn = t.header().columnOfField(2);
    std::vector<int> selected = t.headerClick(nameColumn, { 0 }); // "a" selected
    EXPECT_TRUE(t.header().ascending());
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
    EXPECT_EQ(selected, (std::vector<int> { 2 }));
    selected = t.headerClick(nameColumn, selected);
    EXPECT_FALSE(t.header().ascending());
    EXPECT_EQ(codes(t), (QStringList { u"a"_s, u"c"_s, u"b"_s }));
    EXPECT_EQ(selected, (std::vector<int> { 0 }));
    // Another column starts ascending.
    t.headerClick(t.header().columnOfField(1));
    EXPECT_TRUE(t.header().ascending());
    EXPECT_EQ(codes(t), (QStringList { u"a"_s, u"b"_s, u"c"_s }));
}

TEST_F(ListTableTest, SetSortSkipsWhenUnchanged)
{
    add(u"a"_s, u"2"_s);
    add(u"b"_s, u"1"_s);
    ListTable t;
    t.refresh(records);
    t.setSort(2, true, false);
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"a"_s }));
    records[u"a"_s]->values.set(SlotName, u"0"_s);
    t.setSort(2, true, true); // unchanged: no sort
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"a"_s }));
    t.setSort(2, true, false); // the end of an update sorts again
    EXPECT_EQ(codes(t), (QStringList { u"a"_s, u"b"_s }));
    t.setSort(99, false, false); // no such column: the anchor
    EXPECT_EQ(t.header().sortColumn(), 0);
}

TEST_F(ListTableTest, SortByAHiddenFieldGoesOffScreen)
{
    add(u"a"_s, u"x"_s, u"1.5%"_s);
    add(u"b"_s, u"y"_s, u"3.0%"_s);
    add(u"c"_s, u"z"_s, u"2.25%"_s);
    ListTable t;
    t.header().applyLayout(LayoutForFields({ 1, 2 }));
    t.setSortByField(13, false);
    t.refresh(records);
    EXPECT_EQ(t.header().sortColumn(), 0);
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
    // The next header click returns to normal sorting.
    t.headerClick(1);
    EXPECT_EQ(t.header().offscreenSortKey(), 0);
    // A shown field is sorted through its own column.
    t.setSortByField(2, false);
    EXPECT_EQ(t.header().sortColumn(), 2);
}

TEST_F(ListTableTest, ShiftAndCtrlSortByRowColours)
{
    add(u"a"_s, u"1"_s)->back_color = 0x0000FF;
    add(u"b"_s, u"2"_s)->back_color = 0x000001;
    add(u"c"_s, u"3"_s)->text_color = 0x0000FF;
    ListTable t;
    t.setDefaultColors(0x000000, 0xFFFFFF);
    t.refresh(records);
    t.headerClick(2, {}, false, true); // Ctrl: background colour ascending
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"a"_s, u"c"_s }));
    t.headerClick(2, {}, true, false); // Shift: text colour, now descending
    EXPECT_EQ(codes(t).front(), u"c"_s);
}

TEST_F(ListTableTest, TableSourceInDisplayOrder)
{
    add(u"7203"_s, u"トヨタ"_s)->values.set(SlotPrice, u"2,500.50"_s);
    ListTable t;
    t.header().applyLayout(LayoutForFields({ 1, 2, 4 }));
    t.header().moveColumn(3, 1);
    t.refresh(records);
    ASSERT_EQ(t.columnCount(), 3);
    EXPECT_EQ(t.columnField(0), 4);
    EXPECT_EQ(t.columnField(1), 1);
    EXPECT_EQ(t.columnField(2), 2);
    EXPECT_EQ(t.columnField(3), 0);
    EXPECT_EQ(t.columnCaption(0), ColumnCaption(4));
    EXPECT_EQ(t.cellText(0, 0), u"2,500.5 "_s);
    EXPECT_EQ(t.cellText(0, 2), u"トヨタ"_s);
    EXPECT_EQ(t.cellText(1, 0), QString());
    EXPECT_EQ(t.rowRecord(0).code, u"7203"_s);
    // By list column rather than display position.
    EXPECT_EQ(t.cellTextAt(0, 1), u"7203"_s);
    EXPECT_EQ(t.cellTextAt(0, 0), QString());
    // Hiding a column shows at once in the exported columns.
    t.header().hideField(4);
    EXPECT_EQ(t.columnCount(), 2);
    EXPECT_EQ(t.columnField(0), 1);
}

TEST_F(ListTableTest, CellColoursKnowTheSortedColumn)
{
    add(u"a"_s, u"n"_s)->values.set(SlotDifference, u"-1"_s);
    ListTable t;
    t.refresh(records);
    t.setSort(5, true, false);
    CellPalette palette;
    palette.sortBack = 0x000000;
    palette.window = 0xFFFFFF;
    const CellColors sorted = t.cellColorsAt(0, 5, false, false, palette);
    EXPECT_EQ(sorted.text, kColorRed);
    EXPECT_EQ(sorted.back, BlendColor(0xFFFFFF, 0x000000, kSortTintWeight));
    EXPECT_EQ(t.cellColorsAt(0, 2, false, false, palette).back, 0xFFFFFFu);
    EXPECT_EQ(t.cellColorsAt(7, 2, false, false, palette).back, 0xFFFFFFu); // no such row
}

TEST_F(ListTableTest, ExportWithTheLayoutOfTheFile)
{
    add(u"a"_s, u"2"_s);
    add(u"b"_s, u"1"_s);
    const ColumnLayout layout = LayoutForFields({ 2, 1 }, PackSort(1, false));
    const ListTable t = BuildExportTable(records, layout);
    EXPECT_EQ(t.columnField(0), 2);
    EXPECT_EQ(t.columnField(1), 1);
    EXPECT_EQ(codes(t), (QStringList { u"a"_s, u"b"_s })); // names descending
}

TEST_F(ListTableTest, ExportWithFieldsKeepsTheSortedField)
{
    add(u"a"_s, u"2"_s, u"1%"_s);
    add(u"b"_s, u"1"_s, u"3%"_s);
    add(u"c"_s, u"3"_s, u"2%"_s);
    // The layout sorts by yield (list column 3) descending.
    const ColumnLayout layout = LayoutForFields({ 1, 2, 13 }, PackSort(3, false));
    // Yield among the fields: sorted through its new column.
    ListTable t = BuildExportTable(records, layout, std::vector<int> { 13, 1 });
    EXPECT_EQ(t.columnField(0), 13);
    EXPECT_EQ(t.columnField(1), 1);
    EXPECT_EQ(t.header().sortColumn(), 1);
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
    // Yield not among them: the off-screen sort key keeps the order.
    t = BuildExportTable(records, layout, std::vector<int> { 2 });
    EXPECT_EQ(t.columnCount(), 1);
    EXPECT_EQ(t.header().sortColumn(), 0);
    EXPECT_EQ(t.header().offscreenSortKey(), 13);
    EXPECT_EQ(codes(t), (QStringList { u"b"_s, u"c"_s, u"a"_s }));
}

TEST_F(ListTableTest, ExportWithAnUnusableLayoutUsesTheDefault)
{
    add(u"a"_s, u"x"_s);
    ColumnLayout broken;
    broken.orderList = u"0,"_s;
    const ListTable t = BuildExportTable(records, broken);
    EXPECT_EQ(t.columnCount(), 15);
    EXPECT_EQ(t.columnField(0), 1);
}

} // namespace
