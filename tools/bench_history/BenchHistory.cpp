// The price history: storing a 1,000-code run, reading one code's year out of 10,000,000
// points over 2,000 codes, reducing it for a chart, the history pane's first paint of that
// year, and the file's size per point.
//
// The large database is built once (about half a minute) into $QUOTRA_BENCH_HISTORY, by
// default /tmp/quotra-bench-history-10M.sqlite, and reused while it exists: it is written
// under a temporary name and renamed only when complete.
#include "history/ChartData.h"
#include "history/HistoryStore.h"
#include "view/history/HistoryPane.h"
#include "view/widgets/Prompts.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int kCodes = 2000;
constexpr int kYearCodes = 100; // every 20th code has a year of points
constexpr int kYearPoints = 20000; // about a year of 5-minute updates in trading hours
constexpr int kOtherPoints = 4211; // the others share the rest of 10,000,000
constexpr qint64 kStart = 1'735'000'000;
constexpr qint64 kStep = 300;

QString codeOf(int i)
{
    return QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0'));
}

int pointsOf(int i)
{
    return i % (kCodes / kYearCodes) == 0 ? kYearPoints : kOtherPoints;
}

HistoryPoint pointOf(const QString &code, qint64 time, double price)
{
    HistoryPoint p;
    p.code = code;
    p.time = time;
    p.values[HistoryPrice] = price;
    p.values[HistoryChange] = price / 100.0 - 10;
    p.values[HistoryRatio] = -0.35;
    p.values[HistoryVolume] = 1234500;
    p.values[HistoryTurnover] = 2'890'000'000.0;
    p.values[HistoryOpen] = price - 5;
    p.values[HistoryHigh] = price + 12;
    p.values[HistoryLow] = price - 20;
    p.values[HistoryYearHigh] = 3891;
    p.values[HistoryYearLow] = 2120.5;
    return p;
}

// Builds the large database in key order with one transaction and one prepared statement.
bool buildLarge(const QString &path)
{
    const QString partial = path + QStringLiteral(".building");
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-wal"));
    QFile::remove(partial + QStringLiteral("-shm"));
    {
        auto created = HistoryStore::Open(partial, HistoryStore::OpenMode::Create);
        if (!created)
            return false;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(partial).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(
        db, "PRAGMA synchronous = OFF; PRAGMA cache_size = -200000; BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
        "INSERT INTO points (code, time, kind, price, change, ratio, volume, turnover, open, high, low, "
        "year_high, year_low) VALUES (?, ?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        -1, &insert, nullptr);
    bool ok = insert != nullptr;
    for (int c = 0; ok && c < kCodes; ++c) {
        const QByteArray code = codeOf(c).toUtf8();
        const int n = pointsOf(c);
        for (int i = 0; ok && i < n; ++i) {
            const HistoryPoint p = pointOf({}, 0, 2000 + (i % 500));
            sqlite3_bind_text(insert, 1, code.constData(), static_cast<int>(code.size()), SQLITE_STATIC);
            sqlite3_bind_int64(insert, 2, kStart + (kYearPoints - n + i) * kStep);
            for (int v = 0; v < kHistoryValueCount; ++v)
                sqlite3_bind_double(insert, 3 + v, *p.values[static_cast<size_t>(v)]);
            ok = sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    ok = ok
        && sqlite3_exec(db, "COMMIT; PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr)
            == SQLITE_OK;
    sqlite3_close(db);
    QFile::remove(partial + QStringLiteral("-shm"));
    QFile::remove(partial + QStringLiteral("-wal"));
    return ok && QFile::rename(partial, path);
}

HistoryStore *largeStore()
{
    static std::unique_ptr<HistoryStore> store = [] {
        QString path = qEnvironmentVariable("QUOTRA_BENCH_HISTORY");
        if (path.isEmpty())
            path = QDir::temp().filePath(QStringLiteral("quotra-bench-history-10M.sqlite"));
        if (!QFileInfo::exists(path)) {
            std::fprintf(stderr, "building %s (10,000,000 points, once)\n", qPrintable(path));
            if (!buildLarge(path))
                return std::unique_ptr<HistoryStore>();
        }
        auto opened = HistoryStore::Open(path, HistoryStore::OpenMode::Existing);
        return opened ? std::move(*opened) : std::unique_ptr<HistoryStore>();
    }();
    return store.get();
}

// The pane 1,000 x 600 pixels, shown offscreen, switching between two codes with a year of
// points each: every switch reads the year, reduces it, draws the chart and fills the table;
// the time runs until the whole pane is painted into an image.
void BM_PaneFirstPaintOfAYear(benchmark::State &state)
{
    HistoryStore *store = largeStore();
    if (!store) {
        state.SkipWithError("no large history");
        return;
    }
    HistoryPane pane(DesktopPrompts());
    pane.setClock([] { return kStart + qint64(kYearPoints) * kStep; });
    pane.setRange(ChartRange::Year);
    pane.setHistoryFile(store->path());
    pane.resize(1000, 600);
    pane.show();
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        pane.setCodes({ codeOf(++i % 2 == 0 ? 20 : 80) });
        QImage image(pane.size(), QImage::Format_ARGB32_Premultiplied);
        pane.render(&image);
        if (!pane.emptyText().isEmpty())
            state.SkipWithError("nothing drawn");
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PaneFirstPaintOfAYear)->Unit(benchmark::kMillisecond);

// One update run of 1,000 codes stored in one transaction, into a file that grows run by run.
void BM_StoreRunOf1000Codes(benchmark::State &state)
{
    QTemporaryDir dir;
    auto store
        = HistoryStore::Open(dir.filePath(QStringLiteral("history.sqlite")), HistoryStore::OpenMode::Create);
    if (!store) {
        state.SkipWithError("cannot create the history");
        return;
    }
    std::vector<HistoryPoint> run;
    run.reserve(1000);
    for (int c = 0; c < 1000; ++c)
        run.push_back(pointOf(codeOf(c), kStart, 2000 + c));
    qint64 time = kStart;
    for (auto _ : state) {
        state.PauseTiming();
        time += kStep;
        for (HistoryPoint &p : run)
            p.time = time;
        state.ResumeTiming();
        const tessera::Result<qint64> added = (*store)->store(run);
        if (!added || *added != 1000)
            state.SkipWithError("the run was not stored");
    }
}
BENCHMARK(BM_StoreRunOf1000Codes)->Unit(benchmark::kMillisecond)->Iterations(200);

// One code's year (20,000 points, every value) out of 10,000,000, with a warm page cache.
void BM_ReadOneCodesYear(benchmark::State &state)
{
    HistoryStore *store = largeStore();
    if (!store) {
        state.SkipWithError("no large history");
        return;
    }
    const QString code = codeOf(40);
    for (auto _ : state) {
        const auto points = store->points(code, kStart, kStart + kYearPoints * kStep);
        if (!points || points->size() != kYearPoints)
            state.SkipWithError("not a year of points");
        benchmark::DoNotOptimize(points);
    }
}
BENCHMARK(BM_ReadOneCodesYear)->Unit(benchmark::kMillisecond);

// The price alone, as the chart reads it, reduced for a chart 1,000 pixels wide.
void BM_ReadAndReduceForChart(benchmark::State &state)
{
    HistoryStore *store = largeStore();
    if (!store) {
        state.SkipWithError("no large history");
        return;
    }
    const QString code = codeOf(60);
    const qint64 to = kStart + kYearPoints * kStep;
    for (auto _ : state) {
        const auto samples = store->samples(code, HistoryPrice, kStart, to);
        if (!samples || samples->size() != kYearPoints)
            state.SkipWithError("not a year of samples");
        const std::vector<HistorySample> drawn = ReduceForChart(*samples, kStart, to, 1000);
        benchmark::DoNotOptimize(drawn.data());
    }
}
BENCHMARK(BM_ReadAndReduceForChart)->Unit(benchmark::kMillisecond);

// The size of the large file per point, and what a year of 1,000 codes updated every 5
// minutes in the exchange's trading hours (9:00-11:30 and 12:30-15:30: 60 updates a day, 245
// trading days) adds to a file at that size per point.
void BM_FileSizePerPoint(benchmark::State &state)
{
    HistoryStore *store = largeStore();
    if (!store) {
        state.SkipWithError("no large history");
        return;
    }
    HistoryStats stats;
    for (auto _ : state)
        stats = *store->stats();
    const double perPoint = static_cast<double>(stats.bytes) / static_cast<double>(stats.points);
    state.counters["points"] = static_cast<double>(stats.points);
    state.counters["bytes_per_point"] = perPoint;
    state.counters["year_of_1000_codes_MB"] = perPoint * 1000 * 60 * 245 / 1e6;
}
BENCHMARK(BM_FileSizePerPoint)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // the pane's benchmark paints widgets
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
