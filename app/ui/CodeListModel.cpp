#include "app/ui/CodeListModel.h"

#include "document/workbook/CodeMap.h"
#include "quotes/QuoteRecord.h"
#include "view/table/ColumnTable.h"
#include "view/table/Sorting.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

CodeListModel::CodeListModel(const CodeMap &map, QObject *parent)
    : QAbstractTableModel(parent)
{
    m_rows.reserve(map.byCode.size());
    for (const auto &[code, records] : map.byCode) {
        if (records.empty())
            continue;
        const QuoteRecord *first = records.front();
        m_rows.push_back({ code, first->values[SlotName].toString(), first, false });
    }
}

int CodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CodeListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant CodeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Row &row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return index.column() == 0 ? row.code : row.name;
    case Qt::CheckStateRole:
        if (index.column() == 0)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole: {
        const int align = ColumnDefOf(index.column() == 0 ? FieldCode : FieldName).align;
        const Qt::Alignment h = align == AlignRight
            ? Qt::AlignRight
            : (align == AlignCenter ? Qt::AlignHCenter : Qt::AlignLeft);
        return QVariant::fromValue(h | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

QVariant CodeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return ColumnCaption(section == 0 ? FieldCode : FieldName);
}

Qt::ItemFlags CodeListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool CodeListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    const bool checked = value.toInt() == Qt::Checked;
    setChecked(index.row(), checked);
    Q_EMIT checkToggled(index.row(), checked);
    return true;
}

void CodeListModel::setChecked(int row, bool checked)
{
    Row &r = m_rows[static_cast<size_t>(row)];
    if (r.checked == checked)
        return;
    r.checked = checked;
    const QModelIndex cell = index(row, 0);
    Q_EMIT dataChanged(cell, cell, { Qt::CheckStateRole });
}

QStringList CodeListModel::checkedCodes() const
{
    QStringList codes;
    for (const Row &row : m_rows) {
        if (row.checked)
            codes.push_back(row.code);
    }
    return codes;
}

int CodeListModel::rowOfCode(const QString &code) const
{
    const auto it
        = std::find_if(m_rows.begin(), m_rows.end(), [&code](const Row &r) { return r.code == code; });
    return it == m_rows.end() ? -1 : static_cast<int>(it - m_rows.begin());
}

void CodeListModel::sortRows(int column, Qt::SortOrder order)
{
    const bool ascending = order == Qt::AscendingOrder;
    const auto less = [column, ascending](const Row &a, const Row &b) {
        const bool byCode = column == 0;
        const QString &x = byCode ? a.code : a.name;
        const QString &y = byCode ? b.code : b.name;
        if (ascending)
            return byCode ? CodeLess(x, y) : x < y;
        return byCode ? CodeLess(y, x) : y < x;
    };
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current row follow their codes.
    const QModelIndexList before = persistentIndexList();
    QStringList codesBefore;
    codesBefore.reserve(before.size());
    for (const QModelIndex &i : before)
        codesBefore.push_back(m_rows[static_cast<size_t>(i.row())].code);
    std::stable_sort(m_rows.begin(), m_rows.end(), less);
    QHash<QString, int> rowOf;
    rowOf.reserve(static_cast<qsizetype>(m_rows.size()));
    for (size_t r = 0; r < m_rows.size(); ++r)
        rowOf.insert(m_rows[r].code, static_cast<int>(r));
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k)
        after.push_back(index(rowOf.value(codesBefore[k]), before[k].column()));
    changePersistentIndexList(before, after);
    m_sortColumn = column;
    m_sortOrder = order;
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
