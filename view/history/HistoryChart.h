#pragma once

#include "history/ChartData.h"

#include <QChartView>

#include <vector>

class QDateTimeAxis;
class QValueAxis;

// The line chart of the history pane: one line per code, over time, with a tooltip naming
// the code, the time and the value of the point nearest the pointer. Its colours follow the
// widget's palette, so the chart is dark in a dark look.
class HistoryChart : public QChartView {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget *parent = nullptr);

    // Draws `series` over the time from `from` to `to` (UTC seconds); `percent` labels the
    // value axis as change in % instead of price.
    void setSeries(std::vector<ChartSeries> series, qint64 from, qint64 to, bool percent);
    const std::vector<ChartSeries> &series() const { return m_series; }

    // The tooltip's text for the pointer at `pos` (viewport coordinates): the nearest point
    // in time of the nearest line; empty when nothing is drawn there.
    QString pointText(const QPoint &pos) const;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyPalette();

    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_valueAxis = nullptr;
    std::vector<ChartSeries> m_series;
    bool m_percent = false;
};
