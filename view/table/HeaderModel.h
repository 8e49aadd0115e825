#pragma once

#include "document/ColumnLayout.h"

#include <vector>

// The list's header without a widget: the list columns (each with its field number, width
// and alignment), the display order, and the sort state. The window's header mirrors it; the
// command-line front end and the exports use it alone.
//
// List column 0 is always the anchor column (field 0, width 0, display position 0); every
// shown field sits in a list column of its own from 1 on, and no field is shown twice.
class HeaderModel {
public:
    struct Column {
        int field = 0;
        int width = 0;
        int align = 0;
    };

    HeaderModel(); // the default layout

    // Replaces the columns by those of `layout`. Returns false, keeping the current columns,
    // when the order list has fewer than two entries or nothing beyond the anchor survives
    // the fix-ups. Fix-ups: a missing index entry i shows field i; columns whose field number
    // is unknown, 0 or already shown are dropped; a missing or unknown alignment takes the
    // field's default, a missing or negative width the default width; the order is repaired
    // into a permutation that starts with the anchor. With `takeSort` the sort state comes
    // from the layout's packed value (following its column through the fix-ups).
    bool applyLayout(const ColumnLayout &layout, bool takeSort = false);
    // The current columns as a layout, every list written, with the packed sort value.
    ColumnLayout saveLayout() const;
    // True when the last applied layout carried widths; otherwise the widths are the
    // defaults and a window may restore the widths it saved itself.
    bool widthsGiven() const { return m_widthsGiven; }

    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const Column &column(int listColumn) const;
    int fieldOf(int listColumn) const; // 0 when out of range
    int columnOfField(int field) const; // list column showing it (> 0), or -1
    std::vector<int> columnFields() const; // field of each list column
    const std::vector<int> &order() const { return m_order; } // list column per position
    // Shown list columns (anchor excluded) in display order.
    std::vector<int> visibleColumns() const;
    // Shown fields (anchor excluded) in display order.
    std::vector<int> visibleFields() const;
    // A number that names the fields of the list columns as they are: it changes whenever a
    // field is shown, hidden or a layout brings other fields, and never comes back within the
    // process (a copy of the header keeps it while its fields stay the same). The display
    // texts kept with the rows are made for one of these.
    quint32 fieldsStamp() const { return m_fieldsStamp; }

    // Shows field 1..39 in a new list column at the end of the display order, or just right
    // of `afterListColumn` (a right-clicked header column) when given; when that column no
    // longer exists, just after display position `afterListColumn`. False when the field is
    // unknown or already shown.
    bool showField(int field, int afterListColumn = -1);
    // Removes the list column that shows `field`. False when it is not shown or is the last
    // field left (the anchor and one field always remain).
    bool hideField(int field);
    // Show or hide command of field f (command id 1000 + f).
    bool toggleField(int field, int afterListColumn = -1);
    // Fields 0..15 with default widths and alignments; the sort state is kept when its
    // column still exists.
    void resetColumns();
    // The items of the header's column menu: the field at every display position after 0
    // (checked), then every field 1..39 not shown, ascending (unchecked). Fields without a
    // caption in the language module are left out.
    struct MenuItem {
        int field;
        bool checked;
        bool operator==(const MenuItem &) const = default;
    };
    std::vector<MenuItem> columnMenuItems() const;
    // Moves the column at display position `from` to position `to` (both >= 1: the anchor
    // is frozen). False when either is out of range.
    bool moveColumn(int from, int to);
    void setWidth(int listColumn, int width);
    void setAlignment(int listColumn, int align);

    // Sort state: the sorted list column (with the arrow), the direction and the off-screen
    // sort key (a field sorted by while the arrow is on the anchor column).
    int sortColumn() const { return m_sortColumn; }
    bool ascending() const { return m_ascending; }
    quint32 packedSort() const { return PackSort(m_sortColumn, m_ascending); }
    int offscreenSortKey() const { return m_offscreenKey; }
    // Sets column and direction; a column that does not exist becomes 0.
    void setSortState(int listColumn, bool ascending);
    void setPackedSort(quint32 packed);
    void setOffscreenSortKey(int field);
    // The field the rows are sorted by: the sorted column's, or on the anchor column the
    // off-screen sort key; 0 keeps the rows in document order.
    int sortField() const;

private:
    void setColumns(std::vector<Column> columns, std::vector<int> order);
    void clampSortColumn();
    void renewFieldsStamp();

    std::vector<Column> m_columns;
    std::vector<int> m_order;
    bool m_widthsGiven = false;
    int m_sortColumn = 0;
    bool m_ascending = true;
    int m_offscreenKey = 0;
    quint32 m_fieldsStamp = 0;
};
