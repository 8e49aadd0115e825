// Page fetches from the sample site on loopback: one request object reused for a run (one
// keep-alive connection) against a new object, and so a new connection, per page; and the
// cost of building the pages the server sends. The site runs as two processes started from
// beside this program: argument 0 fetches pages padded to 500 KB, argument 1 unpadded pages
// of about 5 KB, where the connection set-up weighs more.

#include "SamplePages.h"

#include "quotes/fetch/HttpRequest.h"

#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPadBytes = 500 * 1024;
QString g_roots[2];

QStringList paths(int site)
{
    QStringList out;
    for (QString code : samplesite::SampleCodes())
        out << g_roots[site] + u"quote/"_s + code.replace(u'^', u"%5E"_s);
    return out;
}

void BM_GetReusedRequest(benchmark::State &state)
{
    const QStringList list = paths(static_cast<int>(state.range(0)));
    HttpRequest request;
    QString text;
    qsizetype i = 0;
    for (auto _ : state) {
        if (!request.Get(list[i++ % list.size()], text))
            state.SkipWithError("fetch failed");
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetReusedRequest)->Arg(0)->Arg(1)->UseRealTime();

void BM_GetNewRequestEachTime(benchmark::State &state)
{
    const QStringList list = paths(static_cast<int>(state.range(0)));
    QString text;
    qsizetype i = 0;
    for (auto _ : state) {
        HttpRequest request;
        if (!request.Get(list[i++ % list.size()], text))
            state.SkipWithError("fetch failed");
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetNewRequestEachTime)->Arg(0)->Arg(1)->UseRealTime();

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

namespace {

// Starts a site and returns its root address, empty on failure.
QString startSite(QProcess &site, int padBytes)
{
    site.start(QCoreApplication::applicationDirPath() + u"/quotra-sample-site"_s,
        { u"--port"_s, u"0"_s, u"--pad-bytes"_s, QString::number(padBytes) });
    if (!site.waitForStarted(10000) || !site.waitForReadyRead(10000))
        return {};
    const QByteArray line = site.readLine().trimmed();
    return u"http://127.0.0.1:%1/"_s.arg(QString::fromLatin1(line.mid(5)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QProcess sites[2];
    g_roots[0] = startSite(sites[0], kPadBytes);
    g_roots[1] = startSite(sites[1], 0);
    if (g_roots[0].isEmpty() || g_roots[1].isEmpty()) {
        std::fprintf(stderr, "cannot start quotra-sample-site beside this program\n");
        return 1;
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (QProcess &site : sites) {
        site.kill();
        site.waitForFinished(10000);
    }
    return 0;
}
