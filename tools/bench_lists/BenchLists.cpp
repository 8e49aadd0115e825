// Lists and exports at 100,000 full rows: open and store a list file, CSV and JSON export.
// `bench_lists --memory` instead loads the list once and prints the heap it keeps per row,
// then the heap the display texts of the default columns add when a list shows them all.
#include "BenchRows.h"
#include "corelib/LocalTimeZone.h"

#include "document/CsvExport.h"
#include "document/JsonExport.h"
#include "document/ListFile.h"
#include "document/ListLoader.h"
#include "document/SafeSave.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTable.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <malloc.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kRows = 100000;

QString benchPath(const char *name)
{
    return QDir::temp().filePath(QLatin1String(name));
}

const RecordMap &benchRows()
{
    static const RecordMap rows = MakeBenchRows(kRows);
    return rows;
}

ColumnLayout benchLayout()
{
    ColumnLayout layout;
    std::vector<int> order, fields;
    for (int i = 0; i <= kFieldCount; ++i) {
        order.push_back(i);
        fields.push_back(i);
    }
    layout.orderList = FormatListText(order);
    layout.indexList = FormatListText(fields);
    layout.alignList = FormatListText(std::vector<int>(kFieldCount + 1, 1));
    layout.widthList = FormatListText(std::vector<int>(kFieldCount + 1, 80));
    return layout;
}

bool storeList(const QString &path)
{
    return SaveFileSafely(path, [](QIODevice &device) {
        return WriteListFile(device, benchRows(), benchLayout());
    }).ok();
}

void BM_StoreList(benchmark::State &state)
{
    const QString path = benchPath("bench_lists.kabu");
    benchRows();
    for (auto _ : state) {
        if (!storeList(path))
            state.SkipWithError("store failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_StoreList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenList(benchmark::State &state)
{
    const QString path = benchPath("bench_lists.kabu");
    if (!storeList(path)) {
        state.SkipWithError("store failed");
        return;
    }
    for (auto _ : state) {
        auto list = LoadList(path);
        if (!list.ok() || list->rows.size() != kRows)
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(list);
        // Freeing the rows belongs to closing the list, not to opening it.
        state.PauseTiming();
        list = tessera::Error {};
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CsvExport(benchmark::State &state)
{
    const BenchTable table(benchRows());
    const QString path = benchPath("bench_lists.csv");
    for (auto _ : state) {
        if (!ExportCsv(path, table).ok())
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JsonExport(benchmark::State &state)
{
    const BenchTable table(benchRows());
    const QString path = benchPath("bench_lists.json");
    for (auto _ : state) {
        if (!ExportJson(path, table).ok())
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["bytes"] = static_cast<double>(QFile(path).size());
}
BENCHMARK(BM_JsonExport)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work without the disk: what the code costs, apart from writing and syncing files.
void BM_StoreListToMemory(benchmark::State &state)
{
    benchRows();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteListFile(benchRows(), benchLayout()));
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_StoreListToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenListFromMemory(benchmark::State &state)
{
    const QByteArray bytes = WriteListFile(benchRows(), benchLayout());
    for (auto _ : state) {
        auto list = ReadListFile(bytes);
        if (!list.ok())
            state.SkipWithError("read failed");
        state.PauseTiming();
        list = tessera::Error {};
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_OpenListFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

template<tessera::Status (*Write)(QIODevice &, const TableSource &, const ExportProgress &)>
void exportToMemory(benchmark::State &state)
{
    const BenchTable table(benchRows());
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!Write(buffer, table, ExportProgress {}).ok())
            state.SkipWithError("export failed");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
void BM_CsvExportToMemory(benchmark::State &state)
{
    exportToMemory<&WriteCsv>(state);
}
void BM_JsonExportToMemory(benchmark::State &state)
{
    exportToMemory<&WriteJson>(state);
}
BENCHMARK(BM_CsvExportToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JsonExportToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

long rssKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Heap in use counted by the allocator (every malloc'd byte, its bookkeeping excluded),
// and resident memory, before and after a list is loaded and kept.
int measureMemory()
{
    const QString path = benchPath("bench_lists.kabu");
    {
        // The rows made for storing are freed again before measuring.
        RecordMap rows = MakeBenchRows(kRows);
        if (!SaveFileSafely(path, [&](QIODevice &d) { return WriteListFile(d, rows, benchLayout()); }).ok())
            return 1;
    }
    malloc_trim(0);
    const size_t heapBefore = mallinfo2().uordblks;
    const long rssBefore = rssKilobytes();
    auto list = LoadList(path);
    if (!list.ok())
        return 1;
    malloc_trim(0);
    const size_t heapAfter = mallinfo2().uordblks;
    const long rssAfter = rssKilobytes();
    double textBytes = 0;
    for (const auto &[code, r] : list->rows) {
        textBytes += 2.0 * r->code.size() + 2.0 * r->memo.size();
        for (QStringView v : r->values)
            textBytes += 2.0 * v.size();
    }
    const double rows = static_cast<double>(list->rows.size());
    const double heapPerRow = static_cast<double>(heapAfter - heapBefore) / rows;
    const double rssPerRow = 1024.0 * static_cast<double>(rssAfter - rssBefore) / rows;
    std::printf("rows %.0f, sizeof(QuoteRecord) %zu\n", rows, sizeof(QuoteRecord));
    std::printf("heap kept per row %.0f B, text per row %.0f B (UTF-16), beyond the text %.0f B\n",
        heapPerRow, textBytes / rows, heapPerRow - textBytes / rows);
    std::printf(
        "resident growth per row %.0f B, beyond the text %.0f B\n", rssPerRow, rssPerRow - textBytes / rows);

    // The display texts a list keeps with its rows, for the default columns: the table's own
    // row vector is counted apart, then every row's texts are made.
    const ListTable table = BuildExportTable(list->rows, DefaultColumnLayout());
    malloc_trim(0);
    const size_t heapTable = mallinfo2().uordblks;
    double blockBytes = 0;
    for (int row = 0; row < table.rowCount(); ++row)
        blockBytes += static_cast<double>(table.shownTexts(row).blockSize());
    malloc_trim(0);
    const size_t heapTexts = mallinfo2().uordblks;
    const double textsPerRow = static_cast<double>(heapTexts - heapTable) / rows;
    std::printf("display texts of the %d default columns per row %.0f B (block %.0f B), row with them %.0f B "
                "= %.2f x the row alone\n",
        table.header().columnCount() - 1, textsPerRow, blockBytes / rows, heapPerRow + textsPerRow,
        (heapPerRow + textsPerRow) / heapPerRow);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    tessera::PinLocalTimeZone(); // as the programs do
    if (argc > 1 && std::strcmp(argv[1], "--memory") == 0)
        return measureMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        std::fprintf(stderr, "usage: bench_lists --memory | bench_lists [--benchmark_... options]\n");
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
