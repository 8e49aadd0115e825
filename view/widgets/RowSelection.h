#pragma once

#include <vector>

class QItemSelectionModel;
class QTableView;

// A table view's selection as whole rows, by row number.

// The selected rows of `selection`, ascending, each once; rows at or past `rowCount` left out.
std::vector<int> SelectedRowsOf(const QItemSelectionModel &selection, int rowCount);
// Replaces the selection by `rows` (ascending), each a whole row, runs of rows selected as
// one range; the first row becomes current in the current column (or column 1).
void SelectWholeRows(QItemSelectionModel &selection, const std::vector<int> &rows);
// Scrolls `view` vertically, never horizontally, until `row` is in view: with `fully` the
// whole row, else any part of it counts as in view.
void ScrollRowIntoView(QTableView &view, int row, bool fully);
