// Update throughput against the sample quote site on loopback: codes updated per second
// through the document's worker (fetch, decode, parse, apply), through the same worker body
// on a thread of normal priority, through the page dispatcher alone on the calling thread,
// and plain libcurl GETs of the same pages over one connection.
//
//   bench_update [--pad-bytes N] [--codes N] [benchmark options]
//
// The site is started from the program's folder with no delay and pages padded to 1 MB.
// Run with --benchmark_enable_random_interleaving=true and several repetitions so that the
// bare GETs and the update runs share the machine's state (other load, the server's heap).
//
// Besides codes per second every network benchmark reports, per code: the CPU time of this
// whole process (all threads) and of the site process, and the minor page faults of this
// process; and the connections it opened and the runs of the batch it made.

#include "document/CQuotraDoc.h"
#include "quotes/SecurityCode.h"
#include "quotes/SiteRoot.h"
#include "quotes/fetch/FetchQuote.h"
#include "quotes/parsers/PageParsers.h"

#include "SamplePages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QThread>

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

int g_codeCount = 200;
qint64 g_padBytes = 1048576;
QStringList g_batch;
qint64 g_sitePid = 0;

// The site's sample codes repeated up to the batch size.
QStringList makeBatch(const QStringList &codes, int count)
{
    QStringList batch;
    for (int i = 0; i < count; ++i)
        batch << codes.at(i % codes.size());
    return batch;
}

struct Stats {
    long long connections = -1;
    long long requests = -1;
};

size_t appendBody(char *data, size_t size, size_t count, void *user)
{
    static_cast<std::string *>(user)->append(data, size * count);
    return size * count;
}

Stats siteStats()
{
    Stats stats;
    CURL *curl = curl_easy_init();
    std::string body;
    const QByteArray url = (SiteRoot() + QStringLiteral("__stats")).toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    if (curl_easy_perform(curl) == CURLE_OK)
        std::sscanf(body.c_str(), "connections %lld requests %lld", &stats.connections, &stats.requests);
    curl_easy_cleanup(curl);
    return stats;
}

// CPU seconds (user and system) the site process has used so far; 0 when unknown.
double siteCpuSeconds()
{
    std::ifstream in("/proc/" + std::to_string(g_sitePid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The fields after the command name, which is in parentheses and may hold spaces.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    unsigned long utime = 0;
    unsigned long stime = 0;
    if (std::sscanf(
            stat.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime)
        != 2)
        return 0;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Snapshots taken before a benchmark's loop and turned into per-code counters after it.
class Meter {
public:
    Meter() { take(m_start); }

    void report(benchmark::State &state, qsizetype codesPerRun, bool network = true)
    {
        Snapshot end;
        take(end, network);
        const double runs = static_cast<double>(state.iterations());
        const double codes = runs * static_cast<double>(codesPerRun);
        if (codes <= 0)
            return;
        state.SetItemsProcessed(static_cast<int64_t>(codes));
        state.counters["cpu_ms_per_code"] = (end.cpu - m_start.cpu) * 1000.0 / codes;
        state.counters["faults_per_code"]
            = static_cast<double>(end.minorFaults - m_start.minorFaults) / codes;
        if (!network)
            return;
        state.counters["site_cpu_ms_per_code"] = (end.siteCpu - m_start.siteCpu) * 1000.0 / codes;
        // The stats request after the loop opens a connection of its own. The request
        // objects of the first benchmarks live through all their runs; the update runs make
        // one each, so there connections should equal runs.
        state.counters["connections"]
            = static_cast<double>(end.stats.connections - m_start.stats.connections - 1);
        state.counters["runs"] = runs;
    }

private:
    struct Snapshot {
        Stats stats;
        double cpu = 0;
        double siteCpu = 0;
        long minorFaults = 0;
    };
    static void take(Snapshot &s, bool network = true)
    {
        if (network)
            s.stats = siteStats();
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        s.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
            + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        s.minorFaults = usage.ru_minflt;
        s.siteCpu = network ? siteCpuSeconds() : 0;
    }
    Snapshot m_start;
};

QStringList pageAddresses()
{
    QStringList addresses;
    for (const QString &code : g_batch)
        addresses << PageAddress(code, ClassifyCode(code));
    return addresses;
}

// The bare transfer: one reused easy handle, each body received into memory.
void BM_PlainGets(benchmark::State &state)
{
    const QStringList addresses = pageAddresses();
    CURL *curl = curl_easy_init();
    std::string body;
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    long long bytes = 0;
    Meter meter;
    for (auto _ : state) {
        for (const QString &address : addresses) {
            body.clear();
            const QByteArray url = address.toUtf8();
            curl_easy_setopt(curl, CURLOPT_URL, url.constData());
            if (curl_easy_perform(curl) != CURLE_OK) {
                state.SkipWithError("GET failed");
                break;
            }
            bytes += static_cast<long long>(body.size());
        }
    }
    meter.report(state, addresses.size());
    curl_easy_cleanup(curl);
    state.SetBytesProcessed(bytes);
}

// The request object alone: transfer and decoding to UTF-16, no parsing.
void BM_HttpRequestGet(benchmark::State &state)
{
    const QStringList addresses = pageAddresses();
    HttpRequest request;
    QString text;
    Meter meter;
    for (auto _ : state) {
        for (const QString &address : addresses) {
            if (!request.Get(address, text)) {
                state.SkipWithError("GET failed");
                break;
            }
        }
    }
    meter.report(state, addresses.size());
}

// Decoding alone: the request object's body decoding over the same pages encoded in memory.
void BM_DecodeBody(benchmark::State &state)
{
    samplesite::PageOptions options;
    options.padBytes = g_padBytes;
    std::vector<QByteArray> bodies;
    for (const QString &code : g_batch)
        bodies.push_back(samplesite::QuotePage(code, 1, options).toUtf8());
    QString text;
    Meter meter;
    for (auto _ : state) {
        for (const QByteArray &body : bodies) {
            text = HttpRequest::decodeBody(body, "text/html; charset=UTF-8");
            benchmark::DoNotOptimize(text.constData());
        }
    }
    meter.report(state, g_batch.size(), false);
}

// The dispatcher's parsing step for one page (with the exchange-suffix search of domestic
// pages when `suffix`), as FetchQuote does it after the request.
void parsePage(const QString &code, const QString &page, QuoteRecord &record, bool suffix = true)
{
    switch (ClassifyCode(code)) {
    case CodeKind::Domestic:
        if (suffix)
            DetectExchangeSuffix(record, code, page);
        IsIndexNumber(code) ? ParseDomesticIndexPage(page, record) : ParseDomesticStockPage(page, record);
        break;
    case CodeKind::DomesticWithSuffix:
        ParseDomesticStockPage(page, record);
        break;
    case CodeKind::ForeignStock:
        ParseForeignStockPage(page, record);
        break;
    case CodeKind::Fund:
        ParseFundPage(page, record);
        break;
    case CodeKind::WorldIndex:
        ParseWorldIndexPage(page, record);
        break;
    case CodeKind::Invalid:
        break;
    }
}

// Parsing alone, over the same pages built in memory (no transfer, no decoding); with
// argument 1 also the exchange-suffix search that precedes parsing a domestic page.
void BM_ParseOnly(benchmark::State &state)
{
    samplesite::PageOptions options;
    options.padBytes = g_padBytes;
    std::vector<QString> pages;
    for (const QString &code : g_batch)
        pages.push_back(samplesite::QuotePage(code, 1, options));
    QuoteRecord record;
    Meter meter;
    for (auto _ : state) {
        for (size_t i = 0; i < pages.size(); ++i) {
            const QString &code = g_batch.at(static_cast<qsizetype>(i));
            record = QuoteRecord(code);
            parsePage(code, pages[i], record, state.range(0) != 0);
            benchmark::DoNotOptimize(record.values[SlotPrice].size());
        }
    }
    meter.report(state, g_batch.size(), false);
}

// The page dispatcher alone: request, decoding and parsing on this thread.
void BM_FetchQuote(benchmark::State &state)
{
    QuoteFetcher fetcher;
    Meter meter;
    for (auto _ : state) {
        for (const QString &code : g_batch) {
            if (!fetcher.FetchQuote(code, ClassifyCode(code))) {
                state.SkipWithError("fetch failed");
                break;
            }
        }
    }
    meter.report(state, g_batch.size());
}

// The worker's body (UpdateWorkerProc with the network fetch, one connection per run) on a
// thread of normal priority, the outcomes collected under a lock: the update run without
// the idle scheduling class and without applying the results to a document.
void BM_WorkerThreadNormalPriority(benchmark::State &state)
{
    std::mutex mutex;
    std::vector<FetchOutcome> outcomes;
    outcomes.reserve(static_cast<size_t>(g_batch.size()));
    Meter meter;
    for (auto _ : state) {
        outcomes.clear();
        RunControl control;
        UpdateJob job;
        job.batch = g_batch;
        FetchPolicy oneInFlight; // one request at a time, parsing overlapped with the next transfer
        oneInFlight.parallel = 1;
        job.fetchFactory = NetworkFetchFactory({}, oneInFlight);
        job.control = &control;
        job.deliver = [&](FetchOutcome &&outcome) {
            std::lock_guard lock(mutex);
            outcomes.push_back(std::move(outcome));
        };
        job.finish = [](bool) {};
        std::thread worker([&job] { UpdateWorkerProc(std::move(job)); });
        worker.join();
        if (outcomes.size() != static_cast<size_t>(g_batch.size())) {
            state.SkipWithError("not every code was fetched");
            break;
        }
        for (const FetchOutcome &outcome : outcomes) {
            if (!outcome.ok) {
                state.SkipWithError("a code failed");
                break;
            }
        }
    }
    meter.report(state, g_batch.size());
}

// Not the program: what overlapping would give. One libcurl handle as in the request object,
// but the request for the next code is sent before the page just received is decoded and
// parsed, so that the site builds the next page while this process works on the last one.
// The program fetches one code after another (the worker's fetch function sees one code).
void BM_PipelinedSketch(benchmark::State &state)
{
    const QStringList addresses = pageAddresses();
    CURLM *multi = curl_multi_init();
    CURL *curl = curl_easy_init();
    std::string bodies[2];
    int receiving = 0;
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    const auto startGet = [&](const QString &address) {
        bodies[receiving].clear();
        const QByteArray url = address.toUtf8();
        curl_easy_setopt(curl, CURLOPT_URL, url.constData());
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &bodies[receiving]);
        curl_multi_add_handle(multi, curl);
        int running = 0;
        curl_multi_perform(multi, &running); // sends the request on the kept connection
    };
    const auto finishGet = [&]() {
        bool ok = false;
        for (bool done = false; !done;) {
            int running = 0;
            curl_multi_perform(multi, &running);
            int queued = 0;
            while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
                if (message->msg == CURLMSG_DONE) {
                    ok = message->data.result == CURLE_OK;
                    done = true;
                }
            }
            if (!done)
                curl_multi_poll(multi, nullptr, 0, 50, nullptr);
        }
        curl_multi_remove_handle(multi, curl);
        return ok;
    };
    QuoteRecord record;
    Meter meter;
    for (auto _ : state) {
        startGet(addresses.first());
        for (qsizetype i = 0; i < addresses.size(); ++i) {
            if (!finishGet()) {
                state.SkipWithError("GET failed");
                break;
            }
            const std::string &body = bodies[receiving];
            receiving = 1 - receiving;
            if (i + 1 < addresses.size())
                startGet(addresses.at(i + 1));
            const QString page = HttpRequest::decodeBody(
                QByteArray::fromRawData(body.data(), static_cast<qsizetype>(body.size())),
                "text/html; charset=UTF-8");
            record = QuoteRecord(g_batch.at(i));
            parsePage(g_batch.at(i), page, record);
            if (record.values[SlotPrice].isEmpty()) {
                state.SkipWithError("page not understood");
                break;
            }
        }
    }
    meter.report(state, addresses.size());
    curl_easy_cleanup(curl);
    curl_multi_cleanup(multi);
}

// A whole update run as the program makes it: the document's worker thread at idle priority
// fetches the batch, the results are applied to the rows on this thread.
void BM_UpdateRun(benchmark::State &state)
{
    CQuotraDoc doc;
    RecordMap rows;
    for (const QString &code : g_batch)
        rows.emplace(code, std::make_unique<QuoteRecord>(code));
    doc.replaceRows(std::move(rows));
    int progress = 0;
    QEventLoop loop;
    QObject::connect(
        &doc, &CQuotraDoc::updateProgress, &doc, [&](quint64, int, const QString &) { ++progress; });
    QObject::connect(&doc, &CQuotraDoc::updateFinished, &loop, &QEventLoop::quit);
    Meter meter;
    for (auto _ : state) {
        progress = 0;
        doc.StartUpdate(g_batch);
        loop.exec();
        if (progress != g_batch.size()) {
            state.SkipWithError("not every code was updated");
            break;
        }
        for (const auto &[code, r] : doc.rows()) {
            if (!r->values[SlotStatus].isEmpty()) {
                state.SkipWithError("a row failed");
                break;
            }
        }
    }
    meter.report(state, g_batch.size());
}

BENCHMARK(BM_PlainGets)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_HttpRequestGet)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DecodeBody)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchQuote)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WorkerThreadNormalPriority)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PipelinedSketch)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateRun)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Takes --name VALUE out of argv (benchmark's own options are left for it).
QString takeOption(int &argc, char **argv, const char *name, const QString &fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            QString value = QString::fromLocal8Bit(argv[i + 1]);
            for (int j = i; j + 2 <= argc; ++j)
                argv[j] = argv[j + 2];
            argc -= 2;
            return value;
        }
    }
    return fallback;
}

} // namespace

int main(int argc, char **argv)
{
    const QString padBytes = takeOption(argc, argv, "--pad-bytes", QStringLiteral("1048576"));
    g_padBytes = padBytes.toLongLong();
    g_codeCount = takeOption(argc, argv, "--codes", QStringLiteral("200")).toInt();
    // Before the site starts: an option nobody knows ends the program here.
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        std::fprintf(stderr, "usage: bench_update [--pad-bytes N] [--codes N] [--benchmark_... options]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    curl_global_init(CURL_GLOBAL_DEFAULT);

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quotra-sample-site"),
        { QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--pad-bytes"), padBytes });
    if (!site.waitForStarted(10000) || !site.waitForReadyRead(20000)) {
        std::fprintf(stderr, "bench_update: quotra-sample-site did not start\n");
        return 1;
    }
    const QByteArray line = site.readLine().trimmed();
    if (!line.startsWith("port ")) {
        std::fprintf(stderr, "bench_update: unexpected first line from the site: %s\n", line.constData());
        return 1;
    }
    g_sitePid = site.processId();
    qputenv("QUOTRA_SITE_ROOT", QByteArray("http://127.0.0.1:") + line.mid(5) + '/');

    g_batch = makeBatch(samplesite::SampleCodes(), g_codeCount);
    std::printf("site %s, pages padded to %s bytes, %d codes per run\n", qPrintable(SiteRoot()),
        qPrintable(padBytes), g_codeCount);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    site.kill();
    site.waitForFinished();
    curl_global_cleanup();
    return 0;
}
