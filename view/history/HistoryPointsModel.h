#pragma once

#include "history/HistoryPoint.h"

#include <QAbstractTableModel>

#include <vector>

// The stored points the history pane shows under its chart, newest first: the time, the
// code and the values, each number in the list's own grouped form.
class HistoryPointsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // `points` oldest first, as the store returns them.
    void setPoints(std::vector<HistoryPoint> points);
    // The points, oldest first.
    const std::vector<HistoryPoint> &points() const { return m_points; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<HistoryPoint> m_points;
};
