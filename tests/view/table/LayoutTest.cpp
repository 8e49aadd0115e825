#include "corelib/StringIds.h"
#include "view/table/ColumnTable.h"
#include "view/table/HeaderModel.h"

#include "corelib/LanguageModule.h"
#include "quotes/QuoteRecord.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

ColumnLayout layoutOf(const char16_t *order, const char16_t *index, const char16_t *align = u"",
    const char16_t *width = u"", quint32 packed = 1)
{
    ColumnLayout l;
    l.orderList = QString::fromUtf16(order);
    l.indexList = QString::fromUtf16(index);
    l.alignList = QString::fromUtf16(align);
    l.widthList = QString::fromUtf16(width);
    l.packedSort = packed;
    return l;
}

// What the rest of the program relies on, not the table's figures restated.
TEST(ColumnTable, EntriesOfTheTable)
{
    EXPECT_EQ(ColumnDefOf(0).titleId, 0) << "the anchor column has no caption";
    EXPECT_EQ(ColumnDefOf(0).width, 0) << "and takes no room";
    for (int f = 1; f < kColumnCount; ++f) {
        const ColumnDef &c = ColumnDefOf(f);
        EXPECT_EQ(c.titleId, Ids::kColumnCaptionBase + f) << f;
        EXPECT_GT(c.width, 0) << f;
        EXPECT_TRUE(c.align == AlignLeft || c.align == AlignRight || c.align == AlignCenter) << f;
        EXPECT_EQ(c.shownByDefault, f <= FieldStatus) << f;
    }
    // Quote fields import into their own value slot; the code, the update time and the
    // status have import columns of their own.
    for (int f = FieldName; f <= FieldMarginRatio; ++f) {
        if (f != FieldDatetime && f != FieldStatus) {
            EXPECT_EQ(ColumnDefOf(f).importSlot, SlotOfField(f)) << f;
        }
    }
    EXPECT_EQ(ColumnDefOf(FieldCode).importSlot, -1);
    EXPECT_EQ(ColumnDefOf(FieldDatetime).importSlot, -2);
    // Out-of-range numbers read as the anchor.
    EXPECT_EQ(&ColumnDefOf(kColumnCount), &ColumnDefOf(0));
    EXPECT_EQ(&ColumnDefOf(-3), &ColumnDefOf(0));
}

TEST(ColumnTable, CaptionsComeFromTheLanguageModule)
{
    ASSERT_TRUE(tessera::LanguageModule::instance().load());
    EXPECT_EQ(ColumnCaption(1), tessera::LanguageModule::instance().text(1001));
    EXPECT_FALSE(ColumnCaption(39).isEmpty());
    EXPECT_TRUE(ColumnCaption(0).isEmpty());
    EXPECT_TRUE(ColumnCaption(40).isEmpty());
}

TEST(DefaultLayout, FieldsZeroToFifteen)
{
    const ColumnLayout l = DefaultColumnLayout();
    EXPECT_EQ(l.orderList, u"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"_s);
    EXPECT_EQ(l.indexList, l.orderList);
    EXPECT_EQ(l.alignList, u"0,1,0,2,1,1,1,1,1,1,1,1,1,1,0,0,"_s);
    EXPECT_TRUE(l.widthList.isEmpty());
    EXPECT_EQ(l.packedSort, 1u);

    HeaderModel h;
    ASSERT_EQ(h.columnCount(), 16);
    EXPECT_EQ(h.column(1).width, 50);
    EXPECT_EQ(h.column(1).align, AlignRight);
    EXPECT_EQ(h.column(3).align, AlignCenter);
    EXPECT_EQ(h.column(0).width, 0);
    EXPECT_FALSE(h.widthsGiven());
    EXPECT_EQ(h.sortColumn(), 0);
    EXPECT_TRUE(h.ascending());
}

TEST(ApplyLayout, SaveAndApplyRoundTrip)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(
        layoutOf(u"0,3,1,2,", u"0,38,2,1,", u"0,2,0,1,", u"0,60,120,45,", PackSort(2, false)), true));
    EXPECT_EQ(h.visibleFields(), (std::vector<int> { 1, 38, 2 }));
    EXPECT_EQ(h.column(1).align, AlignCenter);
    EXPECT_EQ(h.column(3).width, 45);
    EXPECT_TRUE(h.widthsGiven());
    EXPECT_EQ(h.sortColumn(), 2);
    EXPECT_FALSE(h.ascending());
    EXPECT_EQ(h.sortField(), 2);

    const ColumnLayout saved = h.saveLayout();
    EXPECT_EQ(saved.orderList, u"0,3,1,2,"_s);
    EXPECT_EQ(saved.indexList, u"0,38,2,1,"_s);
    EXPECT_EQ(saved.alignList, u"0,2,0,1,"_s);
    EXPECT_EQ(saved.widthList, u"0,60,120,45,"_s);
    EXPECT_EQ(saved.packedSort, PackSort(2, false));

    HeaderModel again;
    ASSERT_TRUE(again.applyLayout(saved, true));
    EXPECT_EQ(again.saveLayout(), saved);
}

TEST(ApplyLayout, FewerThanTwoOrderEntriesIsIgnored)
{
    HeaderModel h;
    const ColumnLayout before = h.saveLayout();
    EXPECT_FALSE(h.applyLayout(layoutOf(u"", u"")));
    EXPECT_FALSE(h.applyLayout(layoutOf(u"0,", u"0,5,")));
    EXPECT_EQ(h.saveLayout(), before);
}

TEST(ApplyLayout, MissingListsFallBackToDefaults)
{
    HeaderModel h;
    // No index list: list column i shows field i; no alignment or width: the defaults.
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,", u"")));
    EXPECT_EQ(h.columnFields(), (std::vector<int> { 0, 1, 2, 3 }));
    EXPECT_EQ(h.column(2).width, 200);
    EXPECT_EQ(h.column(3).align, AlignCenter);
    // A shorter index list: the missing entries show their own number.
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,4,", u"0,36,")));
    EXPECT_EQ(h.columnFields(), (std::vector<int> { 0, 36, 2, 3, 4 }));
}

TEST(ApplyLayout, ExtraEntriesOfOtherListsAreIgnored)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,", u"0,2,7,9,", u"0,2,1,1,1,", u"0,77,1,1,")));
    EXPECT_EQ(h.columnFields(), (std::vector<int> { 0, 2 }));
    EXPECT_EQ(h.column(1).align, AlignCenter);
    EXPECT_EQ(h.column(1).width, 77);
}

TEST(ApplyLayout, UnknownAndDuplicateFieldsAreDropped)
{
    HeaderModel h;
    ASSERT_TRUE(
        h.applyLayout(layoutOf(u"0,5,4,3,2,1,", u"7,40,2,-3,2,x,", u"", u"", PackSort(3, true)), true));
    // Entry 0 is forced to the anchor; 40, -3, the second 2 and "x" (reads 0) are dropped.
    EXPECT_EQ(h.columnFields(), (std::vector<int> { 0, 2 }));
    EXPECT_EQ(h.order(), (std::vector<int> { 0, 1 }));
    // The sorted column of the layout was dropped: the sort falls back to the anchor.
    EXPECT_EQ(h.sortColumn(), 0);
}

TEST(ApplyLayout, NothingButTheAnchorLeftIsIgnored)
{
    HeaderModel h;
    const ColumnLayout before = h.saveLayout();
    EXPECT_FALSE(h.applyLayout(layoutOf(u"0,1,2,", u"0,0,99,")));
    EXPECT_EQ(h.saveLayout(), before);
}

TEST(ApplyLayout, OrderIsRepairedIntoAPermutation)
{
    HeaderModel h;
    // Duplicates, out-of-range and non-numeric entries dropped, the anchor moved to the
    // front, unplaced columns appended in list order.
    ASSERT_TRUE(h.applyLayout(layoutOf(u"3,3,0,9,a,1,", u"0,1,2,3,4,5,")));
    EXPECT_EQ(h.order(), (std::vector<int> { 0, 3, 1, 2, 4, 5 }));
    EXPECT_EQ(h.visibleFields(), (std::vector<int> { 3, 1, 2, 4, 5 }));
}

TEST(ApplyLayout, SortColumnFollowsDroppedColumns)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,", u"0,99,4,5,", u"", u"", PackSort(3, false)), true));
    EXPECT_EQ(h.columnFields(), (std::vector<int> { 0, 4, 5 }));
    EXPECT_EQ(h.sortColumn(), 2);
    EXPECT_EQ(h.sortField(), 5);
    // A packed column beyond the columns falls back to 0.
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,", u"0,4,", u"", u"", PackSort(7, true)), true));
    EXPECT_EQ(h.sortColumn(), 0);
}

TEST(ApplyLayout, BadAlignmentsAndWidthsTakeDefaults)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,", u"0,3,2,", u"0,7,-1,", u"5,-10,,")));
    EXPECT_EQ(h.column(1).align, AlignCenter); // 7: field 3's default
    EXPECT_EQ(h.column(2).align, AlignLeft);
    EXPECT_EQ(h.column(1).width, 80);
    EXPECT_EQ(h.column(2).width, 200); // empty entry
    EXPECT_EQ(h.column(0).width, 0); // the anchor stays at 0
}

TEST(ShowHide, AddsAtTheEndOrAfterTheClickedColumn)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,4,", u"0,1,2,3,4,")));
    EXPECT_TRUE(h.showField(38));
    EXPECT_EQ(h.visibleFields(), (std::vector<int> { 1, 2, 3, 4, 38 }));
    EXPECT_EQ(h.column(5).width, 80);
    EXPECT_FALSE(h.showField(38)); // already shown
    EXPECT_FALSE(h.showField(0));
    EXPECT_FALSE(h.showField(40));
    // Right-click on the third visible column (list column 3), then add: right of it.
    EXPECT_TRUE(h.showField(13, 3));
    EXPECT_EQ(h.visibleFields(), (std::vector<int> { 1, 2, 3, 13, 4, 38 }));
}

TEST(ShowHide, ClickedColumnGoneUsesItsIndexAsPosition)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,", u"0,1,2,3,")));
    EXPECT_TRUE(h.showField(20, 9)); // no list column 9: after position 9, clamped to the end
    EXPECT_EQ(h.visibleFields(), (std::vector<int> { 1, 2, 3, 20 }));
    EXPECT_TRUE(h.hideField(2));
    EXPECT_TRUE(h.showField(21, 3)); // list column 3 is field 20 now, at position 3
    EXPECT_EQ(h.visibleFields(), (std::vector<int> { 1, 3, 20, 21 }));
}

TEST(ShowHide, TheLastFieldCannotBeHidden)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,2,1,", u"0,1,2,")));
    EXPECT_TRUE(h.toggleField(1));
    EXPECT_EQ(h.columnFields(), (std::vector<int> { 0, 2 }));
    EXPECT_EQ(h.order(), (std::vector<int> { 0, 1 }));
    EXPECT_FALSE(h.toggleField(2));
    EXPECT_FALSE(h.hideField(0));
    EXPECT_FALSE(h.hideField(5));
    EXPECT_EQ(h.columnCount(), 2);
}

TEST(ShowHide, HidingKeepsTheSortOnItsField)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,", u"0,1,2,3,", u"", u"", PackSort(3, false)), true));
    EXPECT_TRUE(h.hideField(1));
    EXPECT_EQ(h.sortColumn(), 2);
    EXPECT_EQ(h.sortField(), 3);
    EXPECT_TRUE(h.hideField(3));
    EXPECT_EQ(h.sortColumn(), 0);
}

TEST(ResetColumns, RestoresTheDefaultColumns)
{
    HeaderModel h;
    ASSERT_TRUE(
        h.applyLayout(layoutOf(u"0,2,1,", u"0,39,38,", u"0,2,2,", u"0,1,1,", PackSort(1, false)), true));
    h.resetColumns();
    ColumnLayout expected = DefaultColumnLayout();
    const ColumnLayout saved = h.saveLayout();
    EXPECT_EQ(saved.orderList, expected.orderList);
    EXPECT_EQ(saved.indexList, expected.indexList);
    EXPECT_EQ(saved.alignList, expected.alignList);
    EXPECT_EQ(saved.widthList, u"0,50,200,80,80,80,80,90,90,80,80,80,80,80,100,100,"_s);
    EXPECT_TRUE(h.widthsGiven()); // the defaults, not widths a window saved earlier
    EXPECT_EQ(h.sortColumn(), 1); // column 1 still exists
}

TEST(ColumnMenu, ShownFieldsInDisplayOrderThenTheRest)
{
    ASSERT_TRUE(tessera::LanguageModule::instance().load());
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,2,1,", u"0,5,38,")));
    const std::vector<HeaderModel::MenuItem> items = h.columnMenuItems();
    ASSERT_EQ(items.size(), 39u);
    EXPECT_EQ(items[0], (HeaderModel::MenuItem { 38, true }));
    EXPECT_EQ(items[1], (HeaderModel::MenuItem { 5, true }));
    EXPECT_EQ(items[2], (HeaderModel::MenuItem { 1, false }));
    EXPECT_EQ(items[5], (HeaderModel::MenuItem { 4, false }));
    EXPECT_EQ(items[6], (HeaderModel::MenuItem { 6, false }));
    EXPECT_EQ(items.back(), (HeaderModel::MenuItem { 39, false }));
}

TEST(MoveColumn, TheAnchorIsFrozen)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(layoutOf(u"0,1,2,3,", u"0,1,2,3,")));
    EXPECT_TRUE(h.moveColumn(3, 1));
    EXPECT_EQ(h.order(), (std::vector<int> { 0, 3, 1, 2 }));
    EXPECT_FALSE(h.moveColumn(0, 2));
    EXPECT_FALSE(h.moveColumn(1, 0));
    EXPECT_FALSE(h.moveColumn(1, 4));
    const ColumnLayout saved = h.saveLayout();
    HeaderModel restored;
    ASSERT_TRUE(restored.applyLayout(saved));
    EXPECT_EQ(restored.order(), h.order());
}

TEST(SortState, PackedValueAndOffscreenKey)
{
    HeaderModel h;
    h.setPackedSort(PackSort(3, false));
    EXPECT_EQ(h.sortColumn(), 3);
    EXPECT_FALSE(h.ascending());
    EXPECT_EQ(h.packedSort(), 0x30000u);
    h.setSortState(16, true); // not a list column
    EXPECT_EQ(h.sortColumn(), 0);
    EXPECT_EQ(h.sortField(), 0);
    h.setOffscreenSortKey(13);
    EXPECT_EQ(h.sortField(), 13);
    h.setOffscreenSortKey(40);
    EXPECT_EQ(h.offscreenSortKey(), 0);
}

} // namespace
