#include "quotes/worker/UpdateWorker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <semaphore>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The worker delivers through queued calls, which need an application object.
const auto *const kEnvironment
    = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment(QtTestEnvironment::WithoutLanguage));

// Runs the event loop until `done` holds or 10 s pass (a hang fails instead of blocking).
template<typename Pred> bool processUntil(Pred done)
{
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

struct Recorded {
    std::vector<FetchOutcome> outcomes;
    std::vector<std::pair<quint64, bool>> ends;
};

void record(UpdateWorker &worker, Recorded &rec)
{
    QObject::connect(&worker, &UpdateWorker::codeFetched, &worker,
        [&rec](const FetchOutcome &o) { rec.outcomes.push_back(o); });
    QObject::connect(&worker, &UpdateWorker::runEnded, &worker,
        [&rec](quint64 g, bool stopped) { rec.ends.emplace_back(g, stopped); });
}

// A fetch that fails for codes starting with "X" (saying "no page for X...") and puts the
// code into the price slot.
FetchFactory simpleFactory()
{
    return [](const FetchRun &) -> FetchFunction {
        return [](const QString &code, QuoteRecord &result) -> FetchStatus {
            result.values.set(SlotPrice, u"price of "_s + code);
            if (code.startsWith(u'X'))
                return FetchStatus::failed(u"no page for "_s + code);
            return true;
        };
    };
}

// A fetch that delivers the first code at once and then holds each request until the stop
// flag is set, failing like an aborted transfer.
FetchFactory holdAfterFirstFactory(std::atomic<int> *calls)
{
    return [calls](const FetchRun &run) -> FetchFunction {
        return [calls, stop = run.stop](const QString &, QuoteRecord &result) {
            if (calls->fetch_add(1) == 0) {
                result.values.set(SlotPrice, u"1"_s);
                return true;
            }
            QDeadlineTimer deadline(10000);
            while (!stop->load() && !deadline.hasExpired())
                QThread::msleep(1);
            return false;
        };
    };
}

} // namespace

TEST(UpdateWorker, DeliversEveryCodeInBatchOrderThenTheEnd)
{
    UpdateWorker worker(simpleFactory());
    Recorded rec;
    record(worker, rec);
    const quint64 generation = worker.start({ u"7203"_s, u"X1"_s, u"6758"_s });
    EXPECT_TRUE(worker.isRunning());
    ASSERT_TRUE(processUntil([&] { return !rec.ends.empty(); }));
    ASSERT_EQ(rec.outcomes.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rec.outcomes[i].index, i);
        EXPECT_EQ(rec.outcomes[i].generation, generation);
    }
    EXPECT_EQ(rec.outcomes[0].code, u"7203"_s);
    EXPECT_TRUE(rec.outcomes[0].ok);
    EXPECT_EQ(rec.outcomes[0].result.values[SlotPrice], u"price of 7203"_s);
    EXPECT_FALSE(rec.outcomes[1].ok) << "a failed code is reported, and the run goes on";
    EXPECT_EQ(rec.outcomes[1].error.toStdString(), "no page for X1") << "with its reason";
    EXPECT_TRUE(rec.outcomes[0].error.isEmpty());
    EXPECT_TRUE(rec.outcomes[2].ok);
    ASSERT_EQ(rec.ends.size(), 1u);
    EXPECT_EQ(rec.ends[0], std::make_pair(generation, false));
    EXPECT_FALSE(worker.isRunning());
}

TEST(UpdateWorker, EmptyBatchReportsOnlyTheEnd)
{
    UpdateWorker worker(simpleFactory());
    Recorded rec;
    record(worker, rec);
    worker.start({});
    ASSERT_TRUE(processUntil([&] { return !rec.ends.empty(); }));
    EXPECT_TRUE(rec.outcomes.empty());
    EXPECT_FALSE(rec.ends[0].second);
}

TEST(UpdateWorker, StopAfterFirstCodeEndsWithOneOutcomeAndAbortsTheRequestInFlight)
{
    std::atomic<int> calls { 0 };
    UpdateWorker worker(holdAfterFirstFactory(&calls));
    Recorded rec;
    record(worker, rec);
    // The stop comes once the second request is in flight, so that it has one to abort.
    QObject::connect(&worker, &UpdateWorker::codeFetched, &worker, [&worker, &calls](const FetchOutcome &o) {
        if (o.index != 0)
            return;
        QDeadlineTimer deadline(10000);
        while (calls.load() < 2 && !deadline.hasExpired())
            QThread::msleep(1);
        worker.stop();
    });
    worker.start({ u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s });
    ASSERT_TRUE(processUntil([&] { return !rec.ends.empty(); }));
    EXPECT_EQ(rec.outcomes.size(), 1u) << "the interrupted code is not reported as failed";
    ASSERT_EQ(rec.ends.size(), 1u);
    EXPECT_TRUE(rec.ends[0].second);
    EXPECT_EQ(calls.load(), 2) << "nothing is fetched after the stop";
}

TEST(UpdateWorker, StopDeliversWhatTheRunLeftBeforeReturning)
{
    std::atomic<int> calls { 0 };
    UpdateWorker worker(holdAfterFirstFactory(&calls));
    Recorded rec;
    record(worker, rec);
    worker.start({ u"1"_s, u"2"_s });
    // Wait until the second request is in flight, without running the event loop.
    QDeadlineTimer deadline(10000);
    while (calls.load() < 2 && !deadline.hasExpired())
        QThread::msleep(1);
    ASSERT_EQ(calls.load(), 2);
    EXPECT_TRUE(rec.outcomes.empty());
    worker.stop();
    EXPECT_EQ(rec.outcomes.size(), 1u);
    ASSERT_EQ(rec.ends.size(), 1u);
    EXPECT_TRUE(rec.ends[0].second);
    EXPECT_FALSE(worker.isRunning());
    worker.stop(); // a second stop without a run does nothing
    EXPECT_EQ(rec.ends.size(), 1u);
}

TEST(UpdateWorker, NewRunStopsTheOldOneAndNothingOfTheOldArrivesLater)
{
    std::atomic<int> calls { 0 };
    UpdateWorker worker(holdAfterFirstFactory(&calls));
    Recorded rec;
    record(worker, rec);
    const quint64 first = worker.start({ u"1"_s, u"2"_s });
    QDeadlineTimer deadline(10000);
    while (calls.load() < 2 && !deadline.hasExpired())
        QThread::msleep(1);
    worker.setFetchFactory(simpleFactory());
    const quint64 second = worker.start({ u"A"_s });
    EXPECT_GT(second, first);
    // The old run was finished off inside start().
    ASSERT_EQ(rec.ends.size(), 1u);
    EXPECT_EQ(rec.ends[0], std::make_pair(first, true));
    ASSERT_TRUE(processUntil([&] { return rec.ends.size() == 2; }));
    EXPECT_EQ(rec.ends[1], std::make_pair(second, false));
    ASSERT_EQ(rec.outcomes.size(), 2u);
    EXPECT_EQ(rec.outcomes[0].generation, first);
    EXPECT_EQ(rec.outcomes[1].generation, second);
    EXPECT_EQ(rec.outcomes[1].code, u"A"_s);
}

TEST(UpdateWorker, FetchesOnItsOwnThreadWithOneFetchFunctionPerRun)
{
    std::atomic<int> factories { 0 };
    std::mutex mutex;
    std::vector<Qt::HANDLE> threads;
    UpdateWorker worker([&](const FetchRun &) -> FetchFunction {
        factories.fetch_add(1);
        return [&](const QString &, QuoteRecord &) {
            std::lock_guard lock(mutex);
            threads.push_back(QThread::currentThreadId());
            return true;
        };
    });
    Recorded rec;
    record(worker, rec);
    worker.start({ u"1"_s, u"2"_s, u"3"_s });
    ASSERT_TRUE(processUntil([&] { return !rec.ends.empty(); }));
    EXPECT_EQ(factories.load(), 1);
    std::lock_guard lock(mutex);
    ASSERT_EQ(threads.size(), 3u);
    for (Qt::HANDLE t : threads)
        EXPECT_NE(t, QThread::currentThreadId());
}

TEST(UpdateWorker, PauseHoldsTheRunBetweenTwoCodes)
{
    std::binary_semaphore firstMayFinish { 0 };
    std::atomic<int> calls { 0 };
    UpdateWorker worker([&](const FetchRun &) -> FetchFunction {
        return [&](const QString &, QuoteRecord &) {
            if (calls.fetch_add(1) == 0)
                firstMayFinish.acquire();
            return true;
        };
    });
    Recorded rec;
    record(worker, rec);
    worker.start({ u"1"_s, u"2"_s, u"3"_s });
    QDeadlineTimer deadline(10000);
    while (calls.load() < 1 && !deadline.hasExpired())
        QThread::msleep(1);
    worker.pause();
    firstMayFinish.release();
    ASSERT_TRUE(processUntil([&] { return rec.outcomes.size() == 1; }));
    // Held: the second code is not fetched while paused.
    const QDeadlineTimer window(100);
    while (!window.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(calls.load(), 1);
    worker.resume();
    ASSERT_TRUE(processUntil([&] { return !rec.ends.empty(); }));
    EXPECT_EQ(rec.outcomes.size(), 3u);
}

TEST(UpdateWorker, StopWhilePausedReturns)
{
    UpdateWorker worker(simpleFactory());
    Recorded rec;
    record(worker, rec);
    worker.start({ u"1"_s, u"2"_s });
    worker.pause();
    worker.stop();
    ASSERT_EQ(rec.ends.size(), 1u);
    EXPECT_FALSE(worker.isRunning());
}

TEST(UpdateWorker, DestroyingARunningWorkerStopsItsThread)
{
    std::atomic<int> calls { 0 };
    Recorded rec;
    {
        UpdateWorker worker(holdAfterFirstFactory(&calls));
        record(worker, rec);
        worker.start({ u"1"_s, u"2"_s });
        QDeadlineTimer deadline(10000);
        while (calls.load() < 2 && !deadline.hasExpired())
            QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(rec.ends.empty()) << "a destroyed worker reports nothing";
}
