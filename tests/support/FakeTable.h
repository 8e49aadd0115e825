#pragma once

#include "document/TableSource.h"
#include "quotes/QuoteRecord.h"

#include <QStringList>

#include <vector>

// A table given cell by cell: the exports see exactly these columns, captions and texts.
class FakeTable : public TableSource {
public:
    struct Column {
        int field;
        QString caption;
    };

    explicit FakeTable(std::vector<Column> columns)
        : m_columns(std::move(columns))
    { }

    void addRow(const QStringList &cells)
    {
        m_records.emplace_back(cells.value(0));
        m_cells.push_back(cells);
    }

    int columnCount() const override { return static_cast<int>(m_columns.size()); }
    int columnField(int column) const override { return m_columns[static_cast<size_t>(column)].field; }
    QString columnCaption(int column) const override
    {
        return m_columns[static_cast<size_t>(column)].caption;
    }
    int rowCount() const override { return static_cast<int>(m_cells.size()); }
    const QuoteRecord &rowRecord(int row) const override { return m_records[static_cast<size_t>(row)]; }
    QString cellText(int row, int column) const override
    {
        return m_cells[static_cast<size_t>(row)].value(column);
    }

private:
    std::vector<Column> m_columns;
    std::vector<QuoteRecord> m_records;
    std::vector<QStringList> m_cells;
};
