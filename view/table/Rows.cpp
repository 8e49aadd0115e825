#include "view/table/Rows.h"

RowVector BuildRows(const RecordMap &records)
{
    RowVector rows;
    rows.reserve(records.size());
    for (const auto &entry : records)
        rows.push_back(entry.second.get());
    return rows;
}

QSet<QString> CodesOfRows(const RowVector &rows, const std::vector<int> &selected)
{
    QSet<QString> codes;
    for (int row : selected) {
        if (row >= 0 && static_cast<size_t>(row) < rows.size())
            codes.insert(rows[static_cast<size_t>(row)]->code);
    }
    return codes;
}

std::vector<int> RowsWithCodes(const RowVector &rows, const QSet<QString> &codes)
{
    std::vector<int> out;
    if (codes.isEmpty())
        return out;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (codes.contains(rows[row]->code))
            out.push_back(static_cast<int>(row));
    }
    return out;
}
