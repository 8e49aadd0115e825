// What the chart draws: the ranges, the reduction to a few points per pixel column and the
// change in % that puts several codes on one axis.
#include "history/ChartData.h"

#include <QTemporaryDir>

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ChartData, RangesEndNowAndReachBackTheirLength)
{
    const qint64 now = 1'800'000'000;
    EXPECT_EQ(ChartRangeStart(ChartRange::Day, now), now - 86400);
    EXPECT_EQ(ChartRangeStart(ChartRange::Week, now), now - 7 * 86400);
    EXPECT_EQ(ChartRangeStart(ChartRange::Month, now), now - 30 * 86400);
    EXPECT_EQ(ChartRangeStart(ChartRange::SixMonths, now), now - 182 * 86400);
    EXPECT_EQ(ChartRangeStart(ChartRange::Year, now), now - 365 * 86400);
    EXPECT_EQ(ChartRangeStart(ChartRange::Everything, now), std::numeric_limits<qint64>::min());
}

// Each column keeps exactly its first, last, lowest and highest sample, checked against a
// plain walk over the columns on random walks of prices.
TEST(ChartData, EachColumnKeepsItsFirstLastLowestAndHighest)
{
    QRandomGenerator random(7203);
    for (const int columns : { 1, 7, 300 }) {
        std::vector<HistorySample> samples;
        double price = 2000;
        for (qint64 t = 0; t < 20000; ++t) {
            price += random.bounded(21) - 10;
            samples.push_back({ 1'700'000'000 + t * 300, price });
        }
        const qint64 from = samples[100].time;
        const qint64 to = samples[19000].time;
        const std::vector<HistorySample> reduced = ReduceForChart(samples, from, to, columns);
        ASSERT_LE(reduced.size(), static_cast<size_t>(4 * columns));
        ASSERT_TRUE(std::is_sorted(reduced.begin(), reduced.end(),
            [](const HistorySample &a, const HistorySample &b) { return a.time < b.time; }));

        const double span = static_cast<double>(to - from + 1);
        for (int c = 0; c < columns; ++c) {
            std::vector<HistorySample> in, kept;
            for (const HistorySample &s : samples) {
                if (s.time >= from && s.time <= to && static_cast<int>((s.time - from) / span * columns) == c)
                    in.push_back(s);
            }
            for (const HistorySample &s : reduced) {
                if (static_cast<int>((s.time - from) / span * columns) == c)
                    kept.push_back(s);
            }
            ASSERT_FALSE(in.empty());
            const auto byValue
                = [](const HistorySample &a, const HistorySample &b) { return a.value < b.value; };
            EXPECT_EQ(kept.front(), in.front()) << "column " << c;
            EXPECT_EQ(kept.back(), in.back()) << "column " << c;
            EXPECT_EQ(std::min_element(kept.begin(), kept.end(), byValue)->value,
                std::min_element(in.begin(), in.end(), byValue)->value);
            EXPECT_EQ(std::max_element(kept.begin(), kept.end(), byValue)->value,
                std::max_element(in.begin(), in.end(), byValue)->value);
            EXPECT_LE(kept.size(), 4u);
        }
    }
}

TEST(ChartData, FewSamplesAndEdgesStayAsTheyAre)
{
    const std::vector<HistorySample> samples { { 10, 1 }, { 20, 5 }, { 30, 2 }, { 40, 4 } };
    EXPECT_EQ(ReduceForChart(samples, 20, 30, 100), (std::vector<HistorySample> { { 20, 5 }, { 30, 2 } }))
        << "both ends of the range are in it";
    EXPECT_TRUE(ReduceForChart(samples, 0, 100, 0).empty());
    EXPECT_TRUE(ReduceForChart(samples, 50, 60, 10).empty());
    EXPECT_EQ(
        ReduceForChart(samples, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), 1)
            .size(),
        4u)
        << "the widest range";
}

TEST(ChartData, SeveralCodesBecomeChangeInPercentFromTheirFirstValue)
{
    const std::vector<ChartSeries> series {
        { QStringLiteral("7203"), { { 1, 200 }, { 2, 210 }, { 3, 180 } } },
        { QStringLiteral("^DJI"), { { 1, 40000 }, { 3, 40400 } } },
        { QStringLiteral("ZERO"), { { 1, 0 }, { 2, 5 } } },
        { QStringLiteral("NONE"), {} },
    };
    const std::vector<ChartSeries> change = NormaliseToChange(series);
    ASSERT_EQ(change.size(), 4u);
    EXPECT_EQ(change[0].code, QStringLiteral("7203"));
    ASSERT_EQ(change[0].samples.size(), 3u);
    EXPECT_DOUBLE_EQ(change[0].samples[0].value, 0);
    EXPECT_DOUBLE_EQ(change[0].samples[1].value, 5);
    EXPECT_DOUBLE_EQ(change[0].samples[2].value, -10);
    EXPECT_EQ(change[0].samples[2].time, 3);
    ASSERT_EQ(change[1].samples.size(), 2u);
    EXPECT_DOUBLE_EQ(change[1].samples[1].value, 1);
    EXPECT_TRUE(change[2].samples.empty()) << "no change in % from 0";
    EXPECT_TRUE(change[3].samples.empty());
}

// One code is drawn in its prices, several in % from their first price in the range; the
// range and the width decide what is read and kept.
TEST(ChartData, TheChartOfCodesReadsTheirRangeFromTheStore)
{
    QTemporaryDir dir;
    auto store
        = HistoryStore::Open(dir.filePath(QStringLiteral("history.sqlite")), HistoryStore::OpenMode::Create);
    ASSERT_TRUE(store.ok());
    const qint64 now = 1'800'000'000;
    std::vector<HistoryPoint> points;
    for (int i = 0; i < 2000; ++i) {
        for (const auto &[code, base] :
            { std::pair { QStringLiteral("7203"), 2000.0 }, { QStringLiteral("6758"), 500.0 } }) {
            HistoryPoint &p = points.emplace_back();
            p.code = code;
            p.time = now - 2 * 86400 + i * 60; // two days of minutes, ending 8 hours before now
            p.values[HistoryPrice] = base + i;
        }
    }
    ASSERT_TRUE((*store)->store(points).ok());

    const auto day = LoadChart(**store, { QStringLiteral("7203") }, ChartRange::Day, now, 50);
    ASSERT_TRUE(day.ok());
    ASSERT_EQ(day->lines.size(), 1u);
    EXPECT_FALSE(day->percent);
    EXPECT_EQ(day->points.size(), 2000u - 1440) << "the table gets every point of the day";
    const std::vector<HistorySample> &line = day->lines.front().samples;
    ASSERT_FALSE(line.empty());
    EXPECT_LE(line.size(), 200u);
    EXPECT_GE(line.front().time, now - 86400);
    EXPECT_EQ(line.back().value, 2000.0 + 1999) << "prices, up to the last point";

    const auto all
        = LoadChart(**store, { QStringLiteral("7203"), QStringLiteral("6758"), QStringLiteral("9984") },
            ChartRange::Everything, now, 1000);
    ASSERT_TRUE(all.ok());
    EXPECT_TRUE(all->percent);
    EXPECT_EQ(all->from, now - 2 * 86400) << "everything starts at the earliest point";
    EXPECT_EQ(all->points.size(), 4000u);
    EXPECT_LE(all->points.front().time, all->points.back().time);
    const std::vector<ChartSeries> *both = &all->lines;
    ASSERT_EQ(both->size(), 3u);
    EXPECT_DOUBLE_EQ((*both)[0].samples.front().value, 0);
    EXPECT_DOUBLE_EQ((*both)[0].samples.back().value, 1999.0 / 2000 * 100);
    EXPECT_DOUBLE_EQ((*both)[1].samples.back().value, 1999.0 / 500 * 100);
    EXPECT_LE((*both)[1].samples.size(), 4000u);
    EXPECT_TRUE((*both)[2].samples.empty()) << "a code without points";
}

} // namespace
