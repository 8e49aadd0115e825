#pragma once

#include <functional>
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

// True when the displayed text of one of the row's list columns 1..39 matches. A cell whose
// search ended at the engine's limits ends the row's test as no match, with
// `jre.limitHit()` set; the caller stops there.
bool RowMatches(const ListTable &table, int row, tessera::CJre &jre);

// Where a find starts: with no selection the first row (down) or the last (up); after the
// selected row otherwise. -1 when the search ends at once as not found (the selection is
// the last row going down, or the first going up), or the list is empty.
int FindStartRow(int rowCount, std::optional<int> selected, bool down);

// How a find over the rows ended: a matching row, none up to the end, a cell whose search
// the engine's limits stopped (the rest is not searched), or stopped by the caller.
enum class FindEnd { Found, NotFound, Limit, Stopped };
struct FindResult {
    FindEnd end = FindEnd::NotFound;
    int row = -1; // the matching row, or the row searched when the limit was hit; else -1
};

// Called after each row searched, with the rows searched so far and the rows the search can
// visit at most; returning false stops the search.
using FindProgress = std::function<bool(int searched, int total)>;

// The first matching row from `start` in the direction, without wrapping.
FindResult FindRow(
    const ListTable &table, tessera::CJre &jre, int start, bool down, const FindProgress &progress = {});
