#include "history/ChartData.h"

#include <algorithm>
#include <limits>

qint64 ChartRangeStart(ChartRange range, qint64 now)
{
    constexpr qint64 kDay = 86400;
    switch (range) {
    case ChartRange::Day:
        return now - kDay;
    case ChartRange::Week:
        return now - 7 * kDay;
    case ChartRange::Month:
        return now - 30 * kDay;
    case ChartRange::SixMonths:
        return now - 182 * kDay;
    case ChartRange::Year:
        return now - 365 * kDay;
    case ChartRange::Everything:
        break;
    }
    return std::numeric_limits<qint64>::min();
}

std::vector<HistorySample> ReduceForChart(
    const std::vector<HistorySample> &samples, qint64 from, qint64 to, int columns)
{
    std::vector<HistorySample> out;
    if (columns < 1 || to < from)
        return out;
    const auto first = std::lower_bound(
        samples.begin(), samples.end(), from, [](const HistorySample &s, qint64 t) { return s.time < t; });
    const auto last = std::upper_bound(
        first, samples.end(), to, [](qint64 t, const HistorySample &s) { return t < s.time; });
    const auto count = last - first;
    if (count <= 4 * static_cast<qsizetype>(columns)) {
        out.assign(first, last);
        return out;
    }
    // Column of a time; in floating point so that even the widest range cannot overflow.
    const double span = static_cast<double>(to) - static_cast<double>(from) + 1.0;
    const auto columnOf = [&](qint64 t) {
        const double c = (static_cast<double>(t) - static_cast<double>(from)) / span * columns;
        return std::clamp(static_cast<int>(c), 0, columns - 1);
    };
    out.reserve(static_cast<size_t>(columns) * 4);
    auto it = first;
    while (it != last) {
        const int column = columnOf(it->time);
        const auto begin = it;
        auto low = it;
        auto high = it;
        for (; it != last && columnOf(it->time) == column; ++it) {
            if (it->value < low->value)
                low = it;
            if (it->value > high->value)
                high = it;
        }
        const auto end = it - 1;
        // First, last, lowest and highest, each once, in time order.
        decltype(it) keep[4] = { begin, low, high, end };
        std::sort(std::begin(keep), std::end(keep));
        for (int i = 0; i < 4; ++i) {
            if (i == 0 || keep[i] != keep[i - 1])
                out.push_back(*keep[i]);
        }
    }
    return out;
}

std::vector<ChartSeries> NormaliseToChange(const std::vector<ChartSeries> &series)
{
    std::vector<ChartSeries> out;
    out.reserve(series.size());
    for (const ChartSeries &s : series) {
        ChartSeries &n = out.emplace_back();
        n.code = s.code;
        if (s.samples.empty() || s.samples.front().value == 0)
            continue;
        const double base = s.samples.front().value;
        n.samples.reserve(s.samples.size());
        for (const HistorySample &p : s.samples)
            n.samples.push_back({ p.time, (p.value - base) / base * 100.0 });
    }
    return out;
}

tessera::Result<ChartData> LoadChart(
    const HistoryStore &store, const QStringList &codes, ChartRange range, qint64 now, int columns)
{
    const qint64 start = ChartRangeStart(range, now);
    ChartData chart;
    qint64 earliest = now;
    // One read per code gives both the table's points and the chart's prices.
    for (const QString &code : codes.mid(0, kMaxChartCodes)) {
        tessera::Result<std::vector<HistoryPoint>> points = store.points(code, start, now);
        if (!points)
            return points.error();
        ChartSeries &line = chart.lines.emplace_back();
        line.code = code;
        line.samples.reserve(points->size());
        for (const HistoryPoint &p : *points) {
            if (p.values[HistoryPrice])
                line.samples.push_back({ p.time, *p.values[HistoryPrice] });
        }
        if (!points->empty())
            earliest = std::min(earliest, points->front().time);
        chart.points.insert(chart.points.end(), std::make_move_iterator(points->begin()),
            std::make_move_iterator(points->end()));
    }
    std::stable_sort(chart.points.begin(), chart.points.end(),
        [](const HistoryPoint &a, const HistoryPoint &b) { return a.time < b.time; });
    chart.percent = chart.lines.size() > 1;
    if (chart.percent)
        chart.lines = NormaliseToChange(chart.lines);
    chart.from = range == ChartRange::Everything ? earliest : start;
    chart.to = now;
    for (ChartSeries &line : chart.lines)
        line.samples = ReduceForChart(line.samples, chart.from, now, columns);
    return chart;
}
