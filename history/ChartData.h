#pragma once

#include "history/HistoryStore.h"

#include <QString>
#include <QStringList>

#include <vector>

// What the price chart draws, computed without widgets: the time range of each choice, the
// points of one code reduced to what a given width of pixels can show, and several codes as
// change in % from the range's start so that they share one axis.

enum class ChartRange { Day, Week, Month, SixMonths, Year, Everything };

// The first second of `range` ending at `now` (UTC seconds): 1, 7, 30, 182 and 365 days
// back; Everything starts at the earliest time there is.
qint64 ChartRangeStart(ChartRange range, qint64 now);

// `samples` (oldest first) between `from` and `to` reduced for a chart `columns` pixels wide:
// the range is cut into that many equal columns of time and each column keeps at most its
// first, lowest, highest and last sample, in time order, so the drawn line has the same
// extremes and ends as the full series. Samples outside the range are left out; with
// `columns` < 1 nothing is kept. At most 4 × columns samples come back.
std::vector<HistorySample> ReduceForChart(
    const std::vector<HistorySample> &samples, qint64 from, qint64 to, int columns);

// One code's line on a shared axis.
struct ChartSeries {
    QString code;
    std::vector<HistorySample> samples;
};

// The change of each sample in % from the series' first sample ((value - first) / first × 100).
// A series whose first value is 0 cannot be compared that way: it comes back empty.
std::vector<ChartSeries> NormaliseToChange(const std::vector<ChartSeries> &series);

// At most this many codes share one chart.
inline constexpr int kMaxChartCodes = 8;

// What the history pane shows of `codes` over `range` (ending at `now`) in `columns` pixels.
struct ChartData {
    // The price of one code; for several (the first kMaxChartCodes) their change in % from
    // each one's first price in the range, reduced by ReduceForChart. A code without points
    // in the range gives an empty line.
    std::vector<ChartSeries> lines;
    // Every stored point of the drawn codes in the range, oldest first.
    std::vector<HistoryPoint> points;
    // The time axis: the range's start (for Everything: the earliest point shown) to `now`.
    qint64 from = 0;
    qint64 to = 0;
    bool percent = false; // the lines are change in %
};

tessera::Result<ChartData> LoadChart(
    const HistoryStore &store, const QStringList &codes, ChartRange range, qint64 now, int columns);
