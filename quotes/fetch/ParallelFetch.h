#pragma once

#include "quotes/QuoteRecord.h"
#include "quotes/fetch/HttpRequest.h"

#include <QStringList>

#include <atomic>
#include <memory>

// How a run uses the site: how many requests may be in flight at once and how far apart
// request starts must be. Both come from the settings; the command line may override them.
struct FetchPolicy {
    static constexpr int kMinParallel = 1;
    static constexpr int kMaxParallel = 8;
    static constexpr int kDefaultParallel = 4;
    static constexpr int kMaxIntervalMs = 60000;
    // The longest wait a Retry-After may ask for; a longer one is cut to this.
    static constexpr int kMaxRetryAfterSeconds = 60;
    static constexpr int kDefaultRetryWaitBudgetSeconds = 300;
    static constexpr int kMaxRetryWaitBudgetSeconds = 3600;

    int parallel = kDefaultParallel; // 1-8; 1 is one request after another
    int minIntervalMs = 0; // between two request starts, 0-60000
    // How long one run may be held in all by the site's Retry-After, 0-3600 s. A wait that
    // would go beyond it is not made: that code and every one not yet fetched fail at once.
    int retryWaitBudgetSeconds = kDefaultRetryWaitBudgetSeconds;

    // The policy with both values brought into their ranges.
    FetchPolicy clamped() const;
};

class PageFeeder;

// Fetches the codes of one batch, in the batch's order, through a transfer thread that keeps
// up to `parallel` requests in flight on at most that many connections (multiplexed on one
// when the server speaks HTTP/2) and a few finished pages ready, so that decoding and parsing
// of one page run while the next ones transfer. An answer 429 or 503 with Retry-After holds
// every request start for that long (at most a minute), is asked once more, and leaves the
// rest of the run at one request in flight. A code answered so again fails without a further
// wait. The waits of one run add up to at most the policy's budget: a wait beyond it fails
// that code and the rest of the batch at once, with the message that the site asked to wait
// too long. A transfer failure of the whole run (the multi handle, its poll) is each
// unfinished code's error.
//
// Create, call and destroy it on one thread; fetch() is to be called for the batch's codes in
// order (a code may be skipped; a code not in the batch is fetched on its own). Destroying
// it aborts what is still in flight.
class BatchFetcher {
public:
    BatchFetcher(
        const QStringList &batch, HttpOptions options, FetchPolicy policy, const std::atomic<bool> *stop);
    ~BatchFetcher();
    BatchFetcher(const BatchFetcher &) = delete;
    BatchFetcher &operator=(const BatchFetcher &) = delete;

    // As QuoteFetcher::FetchQuote for the code's own kind, through the pages fetched ahead.
    bool fetch(const QString &code);
    const QuoteRecord &result() const;
    const QString &error() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
