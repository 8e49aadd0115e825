// Update throughput against the sample quote site on loopback: codes updated per second
// through the document's worker (fetch, decode, parse, apply), through the page dispatcher
// alone on the calling thread, and plain libcurl GETs of the same pages over one connection.
//
//   bench_update [--pad-bytes N] [--codes N] [benchmark options]
//
// The site is started from the program's folder with no delay and pages padded to 1 MB.

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

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int g_codeCount = 200;
qint64 g_padBytes = 1048576;
QStringList g_batch;

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
    const Stats before = siteStats();
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
    const Stats after = siteStats();
    curl_easy_cleanup(curl);
    state.SetItemsProcessed(state.iterations() * addresses.size());
    state.SetBytesProcessed(bytes);
    state.counters["connections"] = static_cast<double>(after.connections - before.connections - 1);
}

// The request object alone: transfer and decoding to UTF-16, no parsing.
void BM_HttpRequestGet(benchmark::State &state)
{
    const QStringList addresses = pageAddresses();
    HttpRequest request;
    QString text;
    const Stats before = siteStats();
    for (auto _ : state) {
        for (const QString &address : addresses) {
            if (!request.Get(address, text)) {
                state.SkipWithError("GET failed");
                break;
            }
        }
    }
    const Stats after = siteStats();
    state.SetItemsProcessed(state.iterations() * addresses.size());
    state.counters["connections"] = static_cast<double>(after.connections - before.connections - 1);
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
    for (auto _ : state) {
        for (size_t i = 0; i < pages.size(); ++i) {
            const QString &code = g_batch.at(static_cast<qsizetype>(i));
            record = QuoteRecord(code);
            switch (ClassifyCode(code)) {
            case CodeKind::Domestic:
                if (state.range(0) != 0)
                    DetectExchangeSuffix(record, code, pages[i]);
                IsIndexNumber(code) ? ParseDomesticIndexPage(pages[i], record)
                                    : ParseDomesticStockPage(pages[i], record);
                break;
            case CodeKind::ForeignStock:
                ParseForeignStockPage(pages[i], record);
                break;
            case CodeKind::Fund:
                ParseFundPage(pages[i], record);
                break;
            case CodeKind::WorldIndex:
                ParseWorldIndexPage(pages[i], record);
                break;
            default:
                break;
            }
            benchmark::DoNotOptimize(record.values[SlotPrice]);
        }
    }
    state.SetItemsProcessed(state.iterations() * g_batch.size());
}

// The page dispatcher alone: request, decoding and parsing on this thread.
void BM_FetchQuote(benchmark::State &state)
{
    QuoteFetcher fetcher;
    const Stats before = siteStats();
    for (auto _ : state) {
        for (const QString &code : g_batch) {
            if (!fetcher.FetchQuote(code, ClassifyCode(code))) {
                state.SkipWithError("fetch failed");
                break;
            }
        }
    }
    const Stats after = siteStats();
    state.SetItemsProcessed(state.iterations() * g_batch.size());
    state.counters["connections"] = static_cast<double>(after.connections - before.connections - 1);
}

// A whole update run: the document's worker thread at idle priority fetches the batch, the
// results are applied to the rows on this thread. One connection per run.
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
    const Stats before = siteStats();
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
    const Stats after = siteStats();
    state.SetItemsProcessed(state.iterations() * g_batch.size());
    state.counters["connections_per_run"] = static_cast<double>(after.connections - before.connections - 1)
        / static_cast<double>(state.iterations());
}

BENCHMARK(BM_PlainGets)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_HttpRequestGet)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_ParseOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchQuote)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_UpdateRun)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Takes --name VALUE out of argv (benchmark's own options are left for it).
QString takeOption(int &argc, char **argv, const char *name, const QString &fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            const QString value = QString::fromLocal8Bit(argv[i + 1]);
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
    qputenv("QUOTRA_SITE_ROOT", QByteArray("http://127.0.0.1:") + line.mid(5) + '/');

    g_batch = makeBatch(samplesite::SampleCodes(), g_codeCount);
    std::printf("site %s, pages padded to %s bytes, %d codes per run\n", qPrintable(SiteRoot()),
        qPrintable(padBytes), g_codeCount);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    site.kill();
    site.waitForFinished();
    curl_global_cleanup();
    return 0;
}
