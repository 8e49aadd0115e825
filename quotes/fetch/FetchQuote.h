#pragma once

#include "quotes/QuoteRecord.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/HttpRequest.h"
#include "quotes/fetch/ParallelFetch.h"
#include "quotes/worker/UpdateJob.h"

#include <atomic>
#include <memory>

// The page dispatcher: turns one code into one filled fetch result through one request
// object, so that a run of fetches reuses one connection. Belongs to one thread.
class QuoteFetcher {
public:
    explicit QuoteFetcher(HttpOptions options = {});
    // Uses the given request object (tests pass one that serves pages from memory).
    explicit QuoteFetcher(std::unique_ptr<HttpRequest> request);

    // A flag another thread may set to abort the request in flight.
    void setStopFlag(const std::atomic<bool> *stop) { m_request->setStopFlag(stop); }

    // Fetches and parses the page of `code` (of kind `kind`) into result(). True when the
    // page was fetched and yielded a current price; then result().datetime is now. False for
    // an Invalid code (no request), a failed request, and a page without a current price: a
    // page the parsers no longer understand must not wipe a row's last good values.
    bool FetchQuote(const QString &code, CodeKind kind);

    // The fetch result, overwritten by every FetchQuote; its holding fields are never touched.
    const QuoteRecord &result() const { return m_result; }
    // Why the last FetchQuote failed: the request's reason (HttpRequest::lastError), "not a
    // security code" or "the page shows no current price"; empty after a success.
    const QString &error() const { return m_error; }
    const HttpRequest &request() const { return *m_request; }

private:
    bool parse(const QString &code, CodeKind kind); // the page in m_page into m_result

    std::unique_ptr<HttpRequest> m_request;
    QuoteRecord m_result;
    QString m_error;
    // The last page, kept until the next fetch replaces it: freeing a megabyte page before
    // the next one arrives made every fetch map and fault in fresh memory (about 1.5 ms
    // per 1 MB page).
    QString m_page;
};

// The update worker's fetch over the network: one BatchFetcher per run, so a run keeps up to
// policy.parallel requests in flight on as many connections at most.
FetchFactory NetworkFetchFactory(HttpOptions options = {}, FetchPolicy policy = {});

// Fills record.kind and record.exchange_suffix for the browser and chart addresses. A
// domestic code's page is fetched with a request of its own, synchronously on the calling
// thread; a code with a suffix takes it from the code; other kinds need nothing. Returns
// false only when a needed fetch failed, leaving the record unchanged.
bool ResolveKindAndSuffix(QuoteRecord &record, HttpOptions options = {});
// The same through a given request object.
bool ResolveKindAndSuffix(QuoteRecord &record, HttpRequest &request);
