// Page fetches from the sample site on loopback: one request object reused for a run (one
// keep-alive connection) against a new object, and so a new connection, per page; and the
// cost of building the pages the server sends. The site runs as its own process, started
// from beside this program, with pages padded to --pad-bytes (500 KB here).

#include "SamplePages.h"

#include "quotes/HttpRequest.h"

#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPadBytes = 500 * 1024;
QString g_root;

const QStringList &paths()
{
    static const QStringList list = [] {
        QStringList out;
        for (QString code : samplesite::SampleCodes())
            out << g_root + u"quote/"_s + code.replace(u'^', u"%5E"_s);
        return out;
    }();
    return list;
}

void BM_GetReusedRequest(benchmark::State &state)
{
    HttpRequest request;
    QString text;
    qsizetype i = 0;
    for (auto _ : state) {
        if (!request.Get(paths()[i++ % paths().size()], text))
            state.SkipWithError("fetch failed");
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetReusedRequest)->UseRealTime();

void BM_GetNewRequestEachTime(benchmark::State &state)
{
    QString text;
    qsizetype i = 0;
    for (auto _ : state) {
        HttpRequest request;
        if (!request.Get(paths()[i++ % paths().size()], text))
            state.SkipWithError("fetch failed");
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetNewRequestEachTime)->UseRealTime();

void BM_BuildStockPage(benchmark::State &state)
{
    quint64 counter = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(samplesite::QuotePage(u"7203"_s, ++counter, { kPadBytes, u"UTF-8"_s }));
}
BENCHMARK(BM_BuildStockPage);

void BM_BuildRankingPage(benchmark::State &state)
{
    quint64 counter = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(samplesite::RankingPage(u"volume"_s, ++counter, { kPadBytes, u"UTF-8"_s }));
}
BENCHMARK(BM_BuildRankingPage);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() + u"/quotra-sample-site"_s,
        { u"--port"_s, u"0"_s, u"--pad-bytes"_s, QString::number(kPadBytes) });
    if (!site.waitForStarted(10000) || !site.waitForReadyRead(10000)) {
        std::fprintf(stderr, "cannot start quotra-sample-site beside this program\n");
        return 1;
    }
    const QByteArray line = site.readLine().trimmed();
    g_root = u"http://127.0.0.1:%1/"_s.arg(QString::fromLatin1(line.mid(5)));

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    site.kill();
    site.waitForFinished(10000);
    return 0;
}
