#pragma once

#include <optional>

class ListTable;
namespace tessera {
class CJre;
}

// Finding rows by their displayed texts, for the window's find next and `quotra-cli find`.

// The list columns searched, in this order; a list column the list does not have is an
// empty text, which never matches.
inline constexpr int kFindFirstColumn = 1;
inline constexpr int kFindLastColumn = 39;

// True when the displayed text of one of the row's list columns 1..39 matches.
bool RowMatches(const ListTable &table, int row, tessera::CJre &jre);

// Where a find starts: with no selection the first row (down) or the last (up); after the
// selected row otherwise. -1 when the search ends at once as not found (the selection is
// the last row going down, or the first going up), or the list is empty.
int FindStartRow(int rowCount, std::optional<int> selected, bool down);

// The first matching row from `start` in the direction, without wrapping; -1 for none.
int FindRow(const ListTable &table, tessera::CJre &jre, int start, bool down);
