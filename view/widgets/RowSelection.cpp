#include "view/widgets/RowSelection.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

std::vector<int> SelectedRowsOf(const QItemSelectionModel &selection, int rowCount)
{
    std::vector<char> marked(static_cast<size_t>(std::max(0, rowCount)), 0);
    for (const QItemSelectionRange &range : selection.selection()) {
        for (int r = std::max(0, range.top()); r <= std::min(rowCount - 1, range.bottom()); ++r)
            marked[static_cast<size_t>(r)] = 1;
    }
    std::vector<int> result;
    for (int r = 0; r < rowCount; ++r) {
        if (marked[static_cast<size_t>(r)])
            result.push_back(r);
    }
    return result;
}

void SelectWholeRows(QItemSelectionModel &selection, const std::vector<int> &rows)
{
    const QAbstractItemModel *model = selection.model();
    QItemSelection ranges;
    const int lastColumn = std::max(0, model->columnCount() - 1);
    size_t k = 0;
    while (k < rows.size()) {
        size_t end = k;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1)
            ++end;
        ranges.select(model->index(rows[k], 0), model->index(rows[end], lastColumn));
        k = end + 1;
    }
    selection.select(ranges, QItemSelectionModel::ClearAndSelect);
    if (!rows.empty()) {
        const QModelIndex current = selection.currentIndex();
        selection.setCurrentIndex(model->index(rows.front(), current.isValid() ? current.column() : 1),
            QItemSelectionModel::NoUpdate);
    }
}

void ScrollRowIntoView(QTableView &view, int row, bool fully)
{
    const QAbstractItemModel *model = view.model();
    const QModelIndex index = model->index(row, std::min(1, model->columnCount() - 1));
    if (!index.isValid())
        return;
    if (!fully) {
        const QRect rect = view.visualRect(index);
        if (rect.isValid() && rect.bottom() >= 0 && rect.top() < view.viewport()->height())
            return;
    }
    const int x = view.horizontalScrollBar()->value();
    view.scrollTo(index, QAbstractItemView::EnsureVisible);
    view.horizontalScrollBar()->setValue(x);
}
