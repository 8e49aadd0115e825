// Sorting 100,000 full records by a text column, a real-number column, an integer column and
// the code column, as the list does after an update; and the refresh that rebuilds the rows
// from the document first.

#include "corelib/LocalTimeZone.h"
#include "view/table/ListTable.h"
#include "view/table/Sorting.h"

#include "tools/common/SiteShapedRows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;

const RecordMap &records()
{
    static const RecordMap map = MakeSiteShapedRows(kRows);
    return map;
}

// The rows in a shuffled order, so that each sort starts from the same unsorted state.
const RowVector &shuffledRows()
{
    static const RowVector rows = [] {
        RowVector v = BuildRows(records());
        std::shuffle(v.begin(), v.end(), std::mt19937(7));
        return v;
    }();
    return rows;
}

void sortByField(benchmark::State &state, int field)
{
    SortOrder order;
    order.field = field;
    order.ascending = true;
    for (auto _ : state) {
        RowVector rows = shuffledRows();
        SortRows(rows, order);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SortText(benchmark::State &state)
{
    sortByField(state, 2);
} // name
void BM_SortReal(benchmark::State &state)
{
    sortByField(state, 4);
} // current price
void BM_SortInteger(benchmark::State &state)
{
    sortByField(state, 7);
} // volume
void BM_SortCode(benchmark::State &state)
{
    sortByField(state, FieldCode);
}

// The same real-number sort comparing through the per-comparison rule (RecordLess), which reads
// both texts again at every comparison: the cost the pre-extracted keys avoid.
void BM_SortRealPerComparison(benchmark::State &state)
{
    SortOrder order;
    order.field = 4;
    for (auto _ : state) {
        RowVector rows = shuffledRows();
        std::stable_sort(rows.begin(), rows.end(),
            [&](const QuoteRecord *a, const QuoteRecord *b) { return RecordLess(*a, *b, order); });
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// Refresh: rows rebuilt from the document in key order, then sorted by the price column.
void BM_RefreshSortedByPrice(benchmark::State &state)
{
    ListTable table;
    table.header().setSortState(table.header().columnOfField(4), false);
    for (auto _ : state) {
        table.refresh(records());
        benchmark::DoNotOptimize(table.rows().data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

} // namespace

BENCHMARK(BM_SortText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortReal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortInteger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortCode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortRealPerComparison)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshSortedByPrice)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    tessera::PinLocalTimeZone(); // as the programs do
    // Build the list before timing starts, so that no repetition pays for it.
    benchmark::DoNotOptimize(shuffledRows().data());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
