#pragma once

#include "document/ColumnLayout.h"

#include <QString>

// Column alignment as the list's column format bits keep it.
enum ColumnAlign : int { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

// One entry of the fixed column table, indexed by field number 0..39.
struct ColumnDef {
    qint32 titleId; // caption resource: 1000 + field number, 0 for the anchor column
    qint32 importSlot; // workbook import: value slot, -1 code, -2 update time, 31.. holdings
    qint32 width; // default width in pixels at 96 dpi
    qint32 align; // default ColumnAlign
    bool shownByDefault;
};

inline constexpr int kColumnCount = 40; // entries 0..39
inline constexpr int kDefaultShownColumns = 16; // fields 0..15 make the default layout

// True for 0..39, the numbers the column table knows.
bool IsColumnField(int field);
// Entry of a field number; numbers outside 0..39 get the anchor entry.
const ColumnDef &ColumnDefOf(int field);
// The column's caption from the language module; empty for 0 and unknown numbers.
QString ColumnCaption(int field);

// The layout of a first start and of Reset columns: fields 0..15 in order, default
// alignments, no width list (the widths are the defaults), sorted on list column 0 ascending.
ColumnLayout DefaultColumnLayout();
// A layout that shows `fields` (anchor excluded) in that order with default alignments
// and widths. Field numbers are taken as given.
ColumnLayout LayoutForFields(const std::vector<int> &fields, quint32 packedSort = 1);
