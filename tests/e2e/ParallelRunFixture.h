#pragma once

#include "tests/support/EventWait.h"
#include "tests/support/SampleSite.h"

#include "quotes/fetch/FetchQuote.h"
#include "quotes/worker/UpdateWorker.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// An update worker fetching from the sample site through the network fetch, with what its
// runs reported: the parallel-run tests over HTTP/1.1 and HTTP/2 share it.
class ParallelUpdate : public ::testing::Test {
protected:
    void startSite(const QStringList &options = {}) { ASSERT_TRUE(site.start(options)); }

    // A worker whose runs fetch with `parallel` requests in flight and the given time-out.
    void makeWorker(int parallel, int timeoutMs = 5000)
    {
        HttpOptions http;
        http.connectTimeoutMs = timeoutMs;
        http.totalTimeoutMs = timeoutMs;
        FetchPolicy policy;
        policy.parallel = parallel;
        worker = std::make_unique<UpdateWorker>(NetworkFetchFactory(http, policy));
        QObject::connect(worker.get(), &UpdateWorker::codeFetched, worker.get(),
            [this](const FetchOutcome &o) { outcomes.push_back(o); });
        QObject::connect(worker.get(), &UpdateWorker::runEnded, worker.get(),
            [this](quint64, bool stopped) { ends.push_back(stopped); });
    }
    bool runToEnd(const QStringList &batch)
    {
        worker->start(batch);
        return ProcessEventsUntil([this] { return !ends.empty(); });
    }
    void expectInBatchOrder(const QStringList &batch) const
    {
        ASSERT_EQ(outcomes.size(), static_cast<size_t>(batch.size()));
        for (int i = 0; i < batch.size(); ++i) {
            EXPECT_EQ(outcomes[static_cast<size_t>(i)].index, i);
            EXPECT_EQ(outcomes[static_cast<size_t>(i)].code, batch.at(i));
        }
    }

    SampleSite site;
    std::unique_ptr<UpdateWorker> worker;
    std::vector<FetchOutcome> outcomes;
    std::vector<bool> ends;
};
