#pragma once

#include "document/TableSource.h"

#include <vector>

// Some rows of a table, in the given order, with all of its columns: what the exports get
// when they take the selected rows only. The table and the row list must outlive it.
class RowSubsetTable : public TableSource {
public:
    RowSubsetTable(const TableSource &table, const std::vector<int> &rows)
        : m_table(table)
        , m_rows(rows)
    { }

    int columnCount() const override { return m_table.columnCount(); }
    int columnField(int column) const override { return m_table.columnField(column); }
    QString columnCaption(int column) const override { return m_table.columnCaption(column); }
    int columnAlign(int column) const override { return m_table.columnAlign(column); }
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    const QuoteRecord &rowRecord(int row) const override { return m_table.rowRecord(source(row)); }
    QString cellText(int row, int column) const override { return m_table.cellText(source(row), column); }
    QStringView cellView(int row, int column, QString &scratch) const override
    {
        return m_table.cellView(source(row), column, scratch);
    }

private:
    int source(int row) const { return m_rows[static_cast<size_t>(row)]; }

    const TableSource &m_table;
    const std::vector<int> &m_rows;
};
