// The column dialog's list: filling it from a layout, moving runs, and OK's layout and sort.
#include "view/table/ColumnChoice.h"
#include "view/table/ColumnTable.h"
#include "view/table/HeaderModel.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> fieldsOf(const ColumnChoice &items, bool checked)
{
    std::vector<int> out;
    for (const ColumnChoiceItem &i : items) {
        if (i.checked == checked)
            out.push_back(i.field);
    }
    return out;
}

TEST(ColumnChoice, ShownFieldsFirstInDisplayOrderThenTheRestAscending)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(LayoutForFields({ 1, 2, 4, 5 })));
    ASSERT_TRUE(h.moveColumn(3, 1)); // field 4 dragged to the front
    h.setWidth(h.columnOfField(4), 123);
    h.setAlignment(h.columnOfField(2), AlignCenter);
    const std::optional<ColumnChoice> items = ColumnChoiceFromLayout(h.saveLayout());
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 39u);
    EXPECT_EQ(fieldsOf(*items, true), (std::vector<int> { 4, 1, 2, 5 }));
    const std::vector<int> hidden = fieldsOf(*items, false);
    EXPECT_TRUE(std::is_sorted(hidden.begin(), hidden.end()));
    EXPECT_EQ(hidden.size(), 35u);
    EXPECT_EQ((*items)[0].width, 123);
    EXPECT_EQ((*items)[2].align, AlignCenter);
    EXPECT_EQ((*items)[4].width, ColumnDefOf((*items)[4].field).width);
}

TEST(ColumnChoice, OkWithoutChangesKeepsTheLayoutInDisplayOrder)
{
    HeaderModel h;
    ASSERT_TRUE(h.applyLayout(LayoutForFields({ 1, 2, 4, 5 })));
    ASSERT_TRUE(h.moveColumn(3, 1));
    h.setSortState(h.columnOfField(2), false);
    const ColumnLayout before = h.saveLayout();
    const std::optional<ColumnLayout> after = LayoutFromColumnChoice(*ColumnChoiceFromLayout(before), before);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->orderList, QStringLiteral("0,1,2,3,4,"));
    EXPECT_EQ(after->indexList, QStringLiteral("0,4,1,2,5,"));
    HeaderModel again;
    ASSERT_TRUE(again.applyLayout(*after, true));
    EXPECT_EQ(again.visibleFields(), h.visibleFields());
    EXPECT_EQ(again.fieldOf(again.sortColumn()), 2);
    EXPECT_FALSE(again.ascending());
    for (int f : h.visibleFields()) {
        EXPECT_EQ(again.column(again.columnOfField(f)).width, h.column(h.columnOfField(f)).width);
        EXPECT_EQ(again.column(again.columnOfField(f)).align, h.column(h.columnOfField(f)).align);
    }
}

TEST(ColumnChoice, UncheckingTheSortedFieldSortsByTheLastShownColumn)
{
    ColumnLayout l = LayoutForFields({ 1, 2, 4, 5 }, PackSort(2, false)); // field 2
    ColumnChoice items = *ColumnChoiceFromLayout(l);
    items[1].checked = false;
    const std::optional<ColumnLayout> after = LayoutFromColumnChoice(items, l);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->indexList, QStringLiteral("0,1,4,5,"));
    EXPECT_EQ(after->packedSort, PackSort(3, false));
}

TEST(ColumnChoice, TheSortedFieldFollowsItsNewPosition)
{
    ColumnLayout l = LayoutForFields({ 1, 2, 4, 5 }, PackSort(4, true)); // field 5
    ColumnChoice items = *ColumnChoiceFromLayout(l);
    MoveColumnChoice(items, { 3 }, true);
    MoveColumnChoice(items, { 2 }, true);
    const std::optional<ColumnLayout> after = LayoutFromColumnChoice(items, l);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->indexList, QStringLiteral("0,1,5,2,4,"));
    EXPECT_EQ(after->packedSort, PackSort(2, true));
}

TEST(ColumnChoice, ASortOnTheAnchorStaysInListOrder)
{
    ColumnLayout l = LayoutForFields({ 1, 2, 4 }, PackSort(0, true));
    ColumnChoice items = *ColumnChoiceFromLayout(l);
    items[1].checked = false;
    const std::optional<ColumnLayout> after = LayoutFromColumnChoice(items, l);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->packedSort, PackSort(0, true));
}

TEST(ColumnChoice, NothingCheckedGivesNoLayout)
{
    ColumnLayout l = LayoutForFields({ 1, 2 });
    ColumnChoice items = *ColumnChoiceFromLayout(l);
    for (ColumnChoiceItem &i : items)
        i.checked = false;
    EXPECT_FALSE(LayoutFromColumnChoice(items, l).has_value());
}

TEST(ColumnChoice, MoreThanFortyEntriesAreRefused)
{
    ColumnLayout l;
    for (int i = 0; i < 41; ++i) {
        l.orderList += QString::number(i) + u',';
        l.alignList += QStringLiteral("0,");
        l.widthList += QStringLiteral("80,");
        l.indexList += QString::number(i % 40) + u',';
    }
    EXPECT_FALSE(ColumnChoiceFromLayout(l).has_value());
    l.orderList.chop(3);
    EXPECT_TRUE(ColumnChoiceFromLayout(l).has_value());
}

TEST(ColumnChoice, BrokenEntriesAddNoItemTwiceAndNoUnknownField)
{
    ColumnLayout l;
    l.orderList = QStringLiteral("0,1,2,3,,");
    l.alignList = QStringLiteral("0,7,1,1,1,");
    l.widthList = QStringLiteral("0,-5,60,60,60,");
    l.indexList = QStringLiteral("0,3,3,99,4,");
    const std::optional<ColumnChoice> items = ColumnChoiceFromLayout(l);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 39u);
    EXPECT_EQ(fieldsOf(*items, true), (std::vector<int> { 3, 4 }));
    EXPECT_EQ((*items)[0].width, ColumnDefOf(3).width);
    EXPECT_EQ((*items)[0].align, ColumnDefOf(3).align);
}

TEST(ColumnChoice, RunsMoveAsBlocks)
{
    ColumnChoice items;
    for (int f = 1; f <= 6; ++f)
        items.push_back({ f, true, 80, 1 });
    std::vector<int> sel = MoveColumnChoice(items, { 4, 1, 2 }, true);
    EXPECT_EQ(sel, (std::vector<int> { 0, 1, 3 }));
    EXPECT_EQ(fieldsOf(items, true), (std::vector<int> { 2, 3, 1, 5, 4, 6 }));
    // At the top nothing moves.
    sel = MoveColumnChoice(items, sel, true);
    EXPECT_EQ(sel, (std::vector<int> { 0, 1, 3 }));
    EXPECT_EQ(fieldsOf(items, true), (std::vector<int> { 2, 3, 1, 5, 4, 6 }));
    sel = MoveColumnChoice(items, { 3, 4 }, false);
    EXPECT_EQ(sel, (std::vector<int> { 4, 5 }));
    EXPECT_EQ(fieldsOf(items, true), (std::vector<int> { 2, 3, 1, 6, 5, 4 }));
    sel = MoveColumnChoice(items, sel, false);
    EXPECT_EQ(fieldsOf(items, true), (std::vector<int> { 2, 3, 1, 6, 5, 4 }));
}

} // namespace
