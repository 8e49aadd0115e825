#include "ParallelRunFixture.h"

#include "SamplePages.h"

#include <QElapsedTimer>

using namespace Qt::StringLiterals;

// Parallel runs against the sample site over HTTPS, where it speaks HTTP/2: every request of
// a run is a stream of one connection, and a slow, hanging or refused stream is that stream's
// business only. Rate limiting is checked over both protocols.

namespace {

const QString kHttp2 = u"--http2"_s;

QStringList threeRounds()
{
    QStringList batch;
    const QStringList codes = samplesite::SampleCodes();
    for (int i = 0; i < 3; ++i)
        batch << codes;
    return batch;
}

using Http2Update = ParallelUpdate;

TEST_F(Http2Update, TheSiteOffersHttp2AndARunUsesIt)
{
    startSite({ kHttp2 });
    ASSERT_TRUE(site.root().startsWith(u"https://"_s)) << site.root().toStdString();
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"AAPL"_s, u"^DJI"_s, u"0331418A"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    const SampleSite::Stats stats = site.stats();
    EXPECT_EQ(stats.requests, 4);
    EXPECT_EQ(stats.streams, 4) << "every request came as an HTTP/2 stream";
}

TEST_F(Http2Update, ProgressKeepsBatchOrderWhenLaterStreamsFinishFirst)
{
    // The first page is the slowest: the three after it finish long before it does.
    startSite({ kHttp2, u"--code-delay"_s, u"7203=700,6758=400,8306=100,9432=50"_s });
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"abc"_s, u"AAPL"_s };
    const SampleSite::Stats before = site.stats();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes) {
        if (o.code == u"abc")
            EXPECT_FALSE(o.ok);
        else
            EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    }
    const SampleSite::Stats after = site.stats();
    EXPECT_EQ(after.streams, 5) << "one stream per valid code";
    EXPECT_EQ(after.peakInFlight, 4) << "four streams were open together";
    EXPECT_EQ(after.connections - before.connections - 1, 1) << "all on one connection";
}

TEST_F(Http2Update, AHangingStreamTimesOutWhileTheOthersFinishOnTheSameConnection)
{
    // Answers 200 ms late, so that the four streams are open together.
    startSite({ kHttp2, u"--hang"_s, u"6758"_s, u"--latency-ms"_s, u"200"_s });
    makeWorker(4, 1500);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"7974"_s };
    const SampleSite::Stats before = site.stats();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    EXPECT_TRUE(outcomes[0].ok) << outcomes[0].error.toStdString();
    EXPECT_FALSE(outcomes[1].ok);
    EXPECT_EQ(outcomes[1].error.toStdString(), "timed out after 1.5 s");
    for (size_t i = 2; i < outcomes.size(); ++i)
        EXPECT_TRUE(outcomes[i].ok) << outcomes[i].code.toStdString() << ": "
                                    << outcomes[i].error.toStdString();
    EXPECT_FALSE(ends.front());
    const SampleSite::Stats after = site.stats();
    EXPECT_EQ(after.streams, 5);
    EXPECT_EQ(after.connections - before.connections - 1, 1) << "the time-out reset its stream only";
    EXPECT_EQ(after.peakInFlight, 4) << "the others were asked while the hanging stream was open";
}

TEST_F(Http2Update, StopAbortsFourStreamsInFlightAtOnce)
{
    startSite({ kHttp2, u"--hang"_s, u"6758,8306,9432,7974"_s });
    makeWorker(4, 30000); // only the stop can end these requests early
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"7974"_s, u"AAPL"_s };
    worker->start(batch);
    ASSERT_TRUE(ProcessEventsUntil([this] { return !outcomes.empty() && site.stats().requests >= 5; }));
    ASSERT_EQ(site.stats().peakInFlight, 4);
    QElapsedTimer timer;
    timer.start();
    worker->stop();
    EXPECT_LT(timer.elapsed(), 10000) << "the stop does not wait for the 30 s time-outs";
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends.front());
    ASSERT_EQ(outcomes.size(), 1u) << "the result before the stop stays, no others";
    EXPECT_TRUE(outcomes[0].ok);
    EXPECT_EQ(site.stats().requests, 5) << "nothing is started after the stop";
}

TEST_F(Http2Update, FailuresOfSomeStreamsStayRowErrors)
{
    startSite({ kHttp2, u"--fail-404"_s, u"6758"_s, u"--fail-500"_s, u"8306"_s });
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    EXPECT_TRUE(outcomes[0].ok);
    EXPECT_EQ(outcomes[1].error.toStdString(), "HTTP status 404");
    EXPECT_EQ(outcomes[2].error.toStdString(), "HTTP status 500");
    EXPECT_TRUE(outcomes[3].ok);
}

TEST_F(Http2Update, WithoutTheSitesCertificateEveryCodeFails)
{
    startSite({ kHttp2 });
    qunsetenv("QUOTRA_SITE_CA_FILE"); // a self-signed certificate nobody vouches for
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_FALSE(o.ok) << o.code.toStdString();
    qputenv("QUOTRA_SITE_CA_FILE", "/nonexistent/ca.pem");
    EXPECT_EQ(site.stats().requests, -1) << "the stats request fails the same way";
}

TEST_F(Http2Update, RetryAfterAsAnHttpDateHoldsTheStreams)
{
    startSite({ kHttp2, u"--busy-once"_s, u"6758"_s, u"--retry-after"_s, u"2"_s, u"--retry-after-date"_s });
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s };
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    // The date has whole seconds: two seconds from now is at least one from the answer on.
    EXPECT_GE(timer.elapsed(), 950);
    const SampleSite::Stats stats = site.stats();
    EXPECT_EQ(stats.limited, 1);
    EXPECT_EQ(stats.streams, 4) << "three codes and one retry";
}

// ---- Rate limit over both protocols

class RateLimited : public ParallelUpdate, public ::testing::WithParamInterface<bool> { };

TEST_P(RateLimited, AnsweredWith429TheRunBacksOffAndCompletes)
{
    // Three a second, answers 400 ms late: of the first four requests one at least is refused,
    // and one request at a time after the back-off stays below the limit, so every refused
    // code gets through when it is asked again.
    QStringList options { u"--rate-limit"_s, u"3"_s, u"--retry-after"_s, u"1"_s, u"--latency-ms"_s,
        u"400"_s };
    if (GetParam())
        options << kHttp2;
    startSite(options);
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"7974"_s, u"AAPL"_s };
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    EXPECT_FALSE(ends.front());
    const SampleSite::Stats stats = site.stats();
    EXPECT_GE(stats.limited, 1);
    EXPECT_EQ(stats.requests - stats.limited, batch.size()) << "each refused code was asked once more";
    EXPECT_GE(timer.elapsed(), 950) << "the run waited the second the site asked for";
    EXPECT_EQ(stats.streams, GetParam() ? stats.requests : 0);
}

INSTANTIATE_TEST_SUITE_P(Protocols, RateLimited, ::testing::Values(false, true),
    [](const ::testing::TestParamInfo<bool> &info) { return info.param ? "Http2" : "Http11"; });

// ---- Connections

class Http2Connections : public ParallelUpdate, public ::testing::WithParamInterface<int> { };

TEST_P(Http2Connections, ARunMultiplexesEveryRequestOnOneConnection)
{
    const int n = GetParam();
    startSite({ kHttp2, u"--latency-ms"_s, u"30"_s });
    makeWorker(n);
    const QStringList batch = threeRounds();
    ASSERT_GE(batch.size(), 8);
    const SampleSite::Stats before = site.stats();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    const SampleSite::Stats after = site.stats();
    EXPECT_EQ(after.streams - before.streams, batch.size()) << "one stream per code";
    EXPECT_EQ(after.connections - before.connections - 1, 1) << "the run's one connection";
    EXPECT_EQ(after.peakInFlight, n) << "n streams open together";
}

INSTANTIATE_TEST_SUITE_P(Http2, Http2Connections, ::testing::Values(1, 4, 8));

} // namespace
