// Sorting 100,000 full records by a text column, a real-number column, an integer column and
// the code column, as the list does after an update; and the refresh that rebuilds the rows
// from the document first.

#include "corelib/LocalTimeZone.h"
#include "view/table/ListTable.h"
#include "view/table/Sorting.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;

QString grouped(qint64 v)
{
    QString digits = QString::number(v < 0 ? -v : v);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return v < 0 ? u'-' + digits : digits;
}

// A list of full records with texts shaped like the site's: grouped prices with decimals,
// signed changes and rates, Japanese names, codes of every kind.
RecordMap makeRecords()
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> price(100, 5000000);
    std::uniform_int_distribution<int> change(-50000, 50000);
    std::uniform_int_distribution<qint64> volume(0, 300000000);
    std::uniform_int_distribution<int> kana(0x30A2, 0x30F3);
    std::uniform_int_distribution<int> length(3, 12);
    RecordMap map;
    for (int i = 0; map.size() < static_cast<size_t>(kRows); ++i) {
        QString code;
        switch (i % 10) {
        case 7:
            code = QString::number(1000 + i % 9000) + u".T"_s;
            break;
        case 8:
            code = QString::number(1000 + i) + u'A';
            break;
        case 9:
            code = u"^X"_s + QString::number(i);
            break;
        default:
            code = QString::number(1000 + i);
            break;
        }
        auto r = std::make_unique<QuoteRecord>(code);
        QString name;
        for (int n = length(rng); n > 0; --n)
            name += QChar(kana(rng));
        r->values.set(SlotName, name + u"ホールディングス"_s);
        r->values.set(SlotMarket, u"東証プライム"_s);
        for (int slot : { SlotPrice, SlotOpen, SlotHigh, SlotLow, SlotPrevClose, SlotYearHigh, SlotYearLow,
                 SlotBps, SlotEps }) {
            const int p = price(rng);
            r->values.set(static_cast<size_t>(slot),
                grouped(p / 100) + u'.' + QString::number(p % 100).rightJustified(2, u'0'));
        }
        const int c = change(rng);
        r->values.set(SlotDifference, (c > 0 ? u"+"_s : QString()) + QString::number(c / 100.0, 'f', 2));
        r->values.set(SlotRatio, (c > 0 ? u"+"_s : QString()) + QString::number(c / 1000.0, 'f', 2) + u'%');
        for (int slot : { SlotVolume, SlotTradingValue, SlotMarketCap, SlotSharesIssued, SlotMarginBuy,
                 SlotMarginSell, SlotMinPurchase })
            r->values.set(static_cast<size_t>(slot), grouped(volume(rng)));
        r->values.set(SlotPriceLimit, u"1,500～2,500"_s);
        for (int slot : { SlotDividend, SlotYield, SlotPer, SlotPbr, SlotRoe, SlotCar, SlotMarginRatio,
                 SlotMarginBuyChange, SlotMarginSellChange, SlotUnit })
            r->values.set(static_cast<size_t>(slot), QString::number(change(rng) / 100.0, 'f', 2));
        r->has_holdings = i % 3 == 0;
        r->amount = price(rng);
        r->shares = 100;
        r->loss = change(rng);
        r->memo = u"メモ"_s;
        map[code] = std::move(r);
    }
    return map;
}

const RecordMap &records()
{
    static const RecordMap map = makeRecords();
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
