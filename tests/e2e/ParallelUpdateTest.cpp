#include "ParallelRunFixture.h"

#include "SamplePages.h"

#include <QElapsedTimer>
#include <QThread>

using namespace Qt::StringLiterals;

// Runs of the update worker over the network fetch against the sample site: several requests
// in flight, results in batch order, stops, time-outs, back-off and connection counts.

namespace {

// ---- Order and overlap

TEST_F(ParallelUpdate, ProgressKeepsBatchOrderWhenLaterPagesFinishFirst)
{
    // The first page is the slowest: the three after it finish long before it does.
    startSite({ u"--code-delay"_s, u"7203=700,6758=400,8306=100,9432=50"_s });
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"abc"_s, u"AAPL"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes) {
        if (o.code == u"abc")
            EXPECT_FALSE(o.ok) << "an invalid code is a row error without a request";
        else
            EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    }
    EXPECT_FALSE(ends.front());
    const SampleSite::Stats stats = site.stats();
    EXPECT_EQ(stats.requests, 5) << "one request per valid code";
    EXPECT_EQ(stats.peakInFlight, 4) << "four requests were in flight together";
}

TEST_F(ParallelUpdate, OneInFlightStillFetchesInOrderOnOneConnection)
{
    startSite({ u"--code-delay"_s, u"7203=200"_s });
    makeWorker(1);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    const SampleSite::Stats stats = site.stats();
    EXPECT_EQ(stats.peakInFlight, 1);
    EXPECT_EQ(stats.connections, 2) << "one for the run, one for the stats request";
}

TEST_F(ParallelUpdate, ACodeTwiceInTheBatchIsFetchedTwice)
{
    startSite();
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"7203"_s, u"6758"_s, u"7203"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok);
    EXPECT_EQ(site.stats().requests, 4);
}

// ---- Stop and time-out

TEST_F(ParallelUpdate, StopAbortsFourTransfersInFlightAtOnce)
{
    startSite({ u"--hang"_s, u"6758,8306,9432,7974"_s });
    makeWorker(4, 30000); // only the stop can end these requests early
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"7974"_s, u"AAPL"_s };
    worker->start(batch);
    ASSERT_TRUE(ProcessEventsUntil([this] { return !outcomes.empty() && site.stats().requests >= 5; }));
    ASSERT_EQ(site.stats().peakInFlight, 4);
    QElapsedTimer timer;
    timer.start();
    worker->stop();
    EXPECT_LT(timer.elapsed(), 10000) << "the stop does not wait for the 30 s time-outs";
    EXPECT_FALSE(worker->isRunning());
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends.front());
    ASSERT_EQ(outcomes.size(), 1u) << "the result before the stop stays, no others";
    EXPECT_EQ(outcomes[0].code, u"7203"_s);
    EXPECT_TRUE(outcomes[0].ok);
    EXPECT_EQ(site.stats().requests, 5) << "nothing is started after the stop";
}

TEST_F(ParallelUpdate, AHangingRequestTimesOutWhileTheOthersFinish)
{
    startSite({ u"--hang"_s, u"6758"_s });
    makeWorker(4, 1500);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    EXPECT_TRUE(outcomes[0].ok);
    EXPECT_FALSE(outcomes[1].ok);
    EXPECT_EQ(outcomes[1].error.toStdString(), "timed out after 1.5 s");
    EXPECT_TRUE(outcomes[2].ok);
    EXPECT_TRUE(outcomes[3].ok);
    EXPECT_FALSE(ends.front());
    // Whether the others waited is told by the site, not by a clock on a busy machine.
    EXPECT_GE(site.stats().peakInFlight, 2) << "the others were asked while the hanging one was open";
}

TEST_F(ParallelUpdate, FailuresStayRowErrorsWithTheirReasons)
{
    startSite({ u"--fail-404"_s, u"6758"_s, u"--fail-500"_s, u"8306"_s });
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    EXPECT_EQ(outcomes[1].error.toStdString(), "HTTP status 404");
    EXPECT_EQ(outcomes[2].error.toStdString(), "HTTP status 500");
    EXPECT_TRUE(outcomes[3].ok);
}

TEST_F(ParallelUpdate, AnUnreachableSiteFailsEveryCodeWithItsReason)
{
    qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:9/");
    makeWorker(4, 2000);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.error.startsWith(u"connection refused ("_s)) << o.error.toStdString();
}

// ---- Back-off

TEST_F(ParallelUpdate, RetryAfterInSecondsHoldsTheRunAndRetriesOnce)
{
    startSite({ u"--busy-once"_s, u"6758"_s, u"--retry-after"_s, u"1"_s });
    makeWorker(4);
    const QStringList batch { u"7203"_s, u"6758"_s, u"8306"_s };
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    EXPECT_GE(timer.elapsed(), 950) << "the retry waited for the second the site asked for";
    const SampleSite::Stats stats = site.stats();
    EXPECT_EQ(stats.limited, 1);
    EXPECT_EQ(stats.requests, 4) << "three codes and one retry";
}

TEST_F(ParallelUpdate, RetryAfterAsAnHttpDateIsHonoured)
{
    startSite({ u"--busy-once"_s, u"7203"_s, u"--retry-after"_s, u"3"_s, u"--retry-after-date"_s });
    makeWorker(2);
    const QStringList batch { u"7203"_s, u"6758"_s };
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    EXPECT_TRUE(outcomes[0].ok) << outcomes[0].error.toStdString();
    EXPECT_TRUE(outcomes[1].ok);
    // The date has whole seconds: three seconds from now is at least two from the answer on.
    EXPECT_GE(timer.elapsed(), 1900);
    EXPECT_EQ(site.stats().limited, 1);
}

TEST_F(ParallelUpdate, AfterA429TheRunGoesOnOneRequestAtATime)
{
    startSite({ u"--busy-once"_s, u"7203"_s, u"--retry-after"_s, u"2"_s, u"--latency-ms"_s, u"100"_s });
    makeWorker(4);
    QStringList batch;
    for (int i = 0; i < 3; ++i)
        batch << u"7203"_s << u"6758"_s << u"8306"_s << u"9432"_s;
    worker->start(batch);
    // The first four went out together; the 429 came back with the others about 100 ms later.
    ASSERT_TRUE(ProcessEventsUntil([this] { return site.stats().limited == 1; }));
    QThread::msleep(400);
    site.resetPeak();
    ASSERT_TRUE(ProcessEventsUntil([this] { return !ends.empty(); }));
    expectInBatchOrder(batch);
    for (const FetchOutcome &o : outcomes)
        EXPECT_TRUE(o.ok) << o.code.toStdString() << ": " << o.error.toStdString();
    EXPECT_EQ(site.stats().peakInFlight, 1) << "after the back-off, one request at a time";
}

TEST_F(ParallelUpdate, A503WithoutRetryAfterIsARowErrorAndNotRetried)
{
    startSite({ u"--fail-500"_s, u"6758"_s });
    makeWorker(4);
    const QStringList batch { u"6758"_s, u"7203"_s };
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    EXPECT_FALSE(outcomes[0].ok);
    EXPECT_EQ(site.stats().requests, 2);
}

// ---- Connections

class ParallelConnections : public ParallelUpdate, public ::testing::WithParamInterface<int> { };

TEST_P(ParallelConnections, ARunOpensAtMostNConnectionsAndUsesThem)
{
    const int n = GetParam();
    startSite({ u"--latency-ms"_s, u"30"_s });
    makeWorker(n);
    QStringList batch;
    const QStringList codes = samplesite::SampleCodes();
    for (int i = 0; i < 3; ++i)
        batch << codes;
    ASSERT_GE(batch.size(), 8);
    const SampleSite::Stats before = site.stats();
    ASSERT_TRUE(runToEnd(batch));
    expectInBatchOrder(batch);
    const SampleSite::Stats after = site.stats();
    EXPECT_EQ(after.requests - before.requests, batch.size());
    EXPECT_EQ(after.connections - before.connections - 1, n) << "the run's own connections, kept alive";
    EXPECT_EQ(after.peakInFlight, n);
}

INSTANTIATE_TEST_SUITE_P(Http11, ParallelConnections, ::testing::Values(1, 4, 8));

} // namespace
