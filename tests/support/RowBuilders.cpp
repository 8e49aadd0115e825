#include "tests/support/RowBuilders.h"

#include <vector>

RecordMap MakeRows(std::initializer_list<RowSpec> entries)
{
    RecordMap rows;
    for (const RowSpec &row : entries) {
        auto r = std::make_unique<QuoteRecord>(row.code);
        if (!row.name.isEmpty())
            r->values.set(SlotName, row.name);
        r->values.set(SlotPrice, row.price);
        if (row.datetime != 0)
            r->datetime = row.datetime;
        rows.insert_or_assign(row.code, std::move(r));
    }
    return rows;
}

ColumnLayout MakeLayout(
    std::initializer_list<ColumnSpec> columns, int sortColumn, bool ascending, int anchorWidth)
{
    std::vector<int> order { 0 }, align { 0 }, width { anchorWidth }, index { 0 };
    int column = 1;
    for (const ColumnSpec &c : columns) {
        order.push_back(column++);
        align.push_back(c.align);
        width.push_back(c.width);
        index.push_back(c.field);
    }
    ColumnLayout layout;
    layout.orderList = FormatListText(order);
    layout.alignList = FormatListText(align);
    layout.widthList = FormatListText(width);
    layout.indexList = FormatListText(index);
    layout.packedSort = PackSort(sortColumn, ascending);
    return layout;
}
