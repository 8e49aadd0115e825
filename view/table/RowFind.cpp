#include "view/table/RowFind.h"

#include "corelib/CJre.h"
#include "view/table/CellText.h"
#include "view/table/ListTable.h"

#include <algorithm>

bool RowMatches(const ListTable &table, int row, tessera::CJre &jre)
{
    const QuoteRecord *record = table.record(row);
    if (!record)
        return false;
    const HeaderModel &header = table.header();
    const int last = std::min(kFindLastColumn, header.columnCount() - 1);
    QString scratch;
    for (int column = kFindFirstColumn; column <= last; ++column) {
        if (jre.Find(CellView(*record, header.fieldOf(column), scratch)))
            return true;
    }
    return false;
}

int FindStartRow(int rowCount, std::optional<int> selected, bool down)
{
    if (rowCount <= 0)
        return -1;
    if (!selected)
        return down ? 0 : rowCount - 1;
    const int s = *selected;
    if (down)
        return s + 1 >= rowCount ? -1 : std::max(0, s + 1);
    return s <= 0 ? -1 : std::min(rowCount - 1, s - 1);
}

int FindRow(const ListTable &table, tessera::CJre &jre, int start, bool down)
{
    const int n = table.rowCount();
    for (int row = start; row >= 0 && row < n; row += down ? 1 : -1) {
        if (RowMatches(table, row, jre))
            return row;
    }
    return -1;
}
