#pragma once

#include "document/RecordMap.h"
#include "document/TableSource.h"

#include <vector>

// 100,000 full rows, every slot and the holding filled. The texts follow the formulas that
// json_export.py repeats, so both programs write the same document.
RecordMap MakeBenchRows(int count);

// The table the exports see: the code and all 39 fields, cell texts the raw values
// (numbers in plain decimal), rows in code order.
class BenchTable : public TableSource {
public:
    explicit BenchTable(const RecordMap &rows);

    int columnCount() const override { return kFieldCount; }
    int columnField(int column) const override { return column + 1; }
    QString columnCaption(int column) const override;
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    const QuoteRecord &rowRecord(int row) const override { return *m_rows[static_cast<size_t>(row)]; }
    QString cellText(int row, int column) const override;
    QStringView cellView(int row, int column, QString &scratch) const override;

private:
    std::vector<const QuoteRecord *> m_rows;
};
