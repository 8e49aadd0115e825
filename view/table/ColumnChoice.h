#pragma once

#include "document/ColumnLayout.h"

#include <optional>
#include <vector>

// The column dialog's list without a widget: one item per field 1..39, the shown fields first
// in display order with their own widths and alignments, then the hidden ones ascending with
// the defaults. A check means "shown"; OK turns the checked items, in list order, into a
// layout whose list columns follow the display order.
struct ColumnChoiceItem {
    int field = 0;
    bool checked = false;
    int width = 0;
    int align = 0;
    bool operator==(const ColumnChoiceItem &) const = default;
};
using ColumnChoice = std::vector<ColumnChoiceItem>;

// The most list columns a layout may name, the anchor included.
inline constexpr int kMaxLayoutEntries = 40;

// The items of `layout`; nothing when its order list has more than 40 entries. A position
// whose entry is missing shows list column p; a list column naming no field 1..39, or a
// field already listed, adds no item; a missing or negative width and a missing or unknown
// alignment take the field's defaults.
std::optional<ColumnChoice> ColumnChoiceFromLayout(const ColumnLayout &layout);

// OK: the layout of the checked items, list columns numbered in display order from 1. The
// sort stays on the field it was on, in its new column; a sorted field that is no longer
// shown hands the sort to the last shown column, in the same direction. A sort on the anchor
// column (the rows in list order) stays there. Nothing when no item is checked.
std::optional<ColumnLayout> LayoutFromColumnChoice(const ColumnChoice &items, const ColumnLayout &current);

// Moves every run of adjacent selected items (indices, any order) one place up or down.
// Returns the new indices of the moved items, ascending; the items and the selection are
// unchanged when the first selected item is already at the top (up) or the last at the
// bottom (down).
std::vector<int> MoveColumnChoice(ColumnChoice &items, std::vector<int> selected, bool up);
