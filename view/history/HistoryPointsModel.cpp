#include "view/history/HistoryPointsModel.h"

#include "corelib/Messages.h"
#include "corelib/NumberText.h"
#include "corelib/StringIds.h"

using namespace Qt::StringLiterals;

namespace {

// The table's columns after the time and the code: which value, under which caption.
struct ValueColumn {
    HistoryValue value;
    int caption;
    bool signedValue; // shown with "+" when positive
};

// clang-format off
constexpr ValueColumn kValueColumns[] = {
    { HistoryPrice, Ids::ColumnPrice, false },
    { HistoryChange, Ids::ColumnDifference, true },
    { HistoryRatio, Ids::ColumnRatio, true },
    { HistoryVolume, Ids::ColumnVolume, false },
    { HistoryOpen, Ids::ColumnOpen, false },
    { HistoryHigh, Ids::ColumnHigh, false },
    { HistoryLow, Ids::ColumnLow, false },
};
// clang-format on
constexpr int kLeadingColumns = 2;

} // namespace

void HistoryPointsModel::setPoints(std::vector<HistoryPoint> points)
{
    beginResetModel();
    m_points = std::move(points);
    endResetModel();
}

int HistoryPointsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_points.size());
}

int HistoryPointsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kLeadingColumns + static_cast<int>(std::size(kValueColumns));
}

QVariant HistoryPointsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole) {
        return index.column() < kLeadingColumns ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole)
        return {};
    const HistoryPoint &p = m_points[m_points.size() - 1 - static_cast<size_t>(index.row())];
    if (index.column() == 0)
        return tessera::FormatLocalTime(p.time, true);
    if (index.column() == 1)
        return p.code;
    const ValueColumn &c = kValueColumns[index.column() - kLeadingColumns];
    const std::optional<double> &v = p.values[static_cast<size_t>(c.value)];
    if (!v)
        return u"---"_s;
    return tessera::GroupedNumber(*v, false, c.signedValue);
}

QVariant HistoryPointsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return tessera::ResourceString(Ids::CaptionHistoryTime);
    if (section == 1)
        return tessera::ResourceString(Ids::ColumnCode);
    return tessera::ResourceString(kValueColumns[section - kLeadingColumns].caption);
}
