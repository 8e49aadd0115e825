#include "quotes/fetch/ParallelFetch.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/CurlTransfer.h"
#include "quotes/fetch/FetchQuote.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;

FetchPolicy FetchPolicy::clamped() const
{
    FetchPolicy policy = *this;
    policy.parallel = std::clamp(parallel, kMinParallel, kMaxParallel);
    policy.minIntervalMs = std::clamp(minIntervalMs, 0, kMaxIntervalMs);
    policy.retryWaitBudgetSeconds = std::clamp(retryWaitBudgetSeconds, 0, kMaxRetryWaitBudgetSeconds);
    return policy;
}

namespace {

bool asksToWait(int status)
{
    return status == 429 || status == 503;
}

// The outcome of a code that is not asked for because the run's budget for waiting on the
// site is spent. `status` is the answer that asked for the wait, 0 for a code never asked.
fetchdetail::TransferOutcome waitBudgetSpent(int status)
{
    fetchdetail::TransferOutcome outcome;
    outcome.status = status;
    outcome.notSent = true;
    outcome.reason = tessera::FormatResourceString(Ids::MsgSiteWaitTooLong);
    return outcome;
}

} // namespace

// The transfer thread of one batch and the pages it has finished. Every libcurl handle lives
// on that thread; the consumer (the worker thread) only takes finished pages and wakes it.
class PageFeeder {
public:
    PageFeeder(
        std::vector<QByteArray> urls, HttpOptions options, FetchPolicy policy, const std::atomic<bool> *stop);
    ~PageFeeder();

    const QByteArray &url(int index) const { return m_urls[static_cast<size_t>(index)]; }
    // Waits until the page of `index` is finished and moves it out. Pages before `index`
    // are not asked for any more. After a stop the outcome is "aborted".
    void take(int index, fetchdetail::TransferOutcome &outcome);
    // Hands a body back once it is decoded, so later pages arrive without allocating.
    void recycle(QByteArray &&body);

private:
    enum class SlotState { Waiting, Active, Done, Taken };
    struct Slot {
        SlotState state = SlotState::Waiting;
        bool retried = false;
        fetchdetail::TransferOutcome outcome;
    };
    struct Lane {
        CURL *easy = nullptr;
        int slot = -1; // the page in flight on this handle, -1 when free
        fetchdetail::TransferState state;
        QByteArray body;
        char errorBuffer[CURL_ERROR_SIZE] = {};
    };

    void run();
    bool stopping() const;
    int nextToStart(); // with m_mutex held; -1 when nothing may start now
    void startTransfers(CURLM *multi, std::vector<Lane> &lanes, int &inFlight);
    void finishTransfer(CURLM *multi, Lane &lane, CURLcode result, int &inFlight);
    // Ends the run; the pages not finished get `failure`, or "stopped" when it is null.
    void endRun(CURLM *multi, std::vector<Lane> &lanes, const fetchdetail::TransferOutcome *failure);
    // A wait of `wait` from now, when the run's budget still holds it; false when it does not.
    bool holdFor(std::chrono::seconds wait);
    // Every page not yet asked for fails with the budget's outcome (m_mutex held).
    void failWaitingPages();
    QByteArray spareBuffer();

    const std::vector<QByteArray> m_urls; // empty: no request for that code
    const HttpOptions m_options;
    const FetchPolicy m_policy;
    const std::atomic<bool> *m_stop;
    const int m_window; // pages transferred or in flight ahead of the consumer

    // Shared with the consumer, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Slot> m_slots;
    std::deque<QByteArray> m_spare;
    int m_consumerAt = 0;
    bool m_quit = false;
    bool m_ended = false;
    CURLM *m_multi = nullptr; // for curl_multi_wakeup; null once the thread cleans it up

    // Transfer thread only.
    int m_nextFresh = 0;
    std::deque<int> m_retries;
    int m_maxInFlight = 1;
    Clock::time_point m_notBefore;
    Clock::duration m_held {}; // how long Retry-After answers held the run so far
    bool m_budgetSpent = false; // no request starts any more

    std::thread m_thread;
};

PageFeeder::PageFeeder(
    std::vector<QByteArray> urls, HttpOptions options, FetchPolicy policy, const std::atomic<bool> *stop)
    : m_urls(std::move(urls))
    , m_options(options)
    , m_policy(policy.clamped())
    , m_stop(stop)
    , m_window(std::max(2, 2 * m_policy.parallel))
    , m_slots(m_urls.size())
{
    m_maxInFlight = m_policy.parallel;
    m_thread = std::thread([this] { run(); });
}

PageFeeder::~PageFeeder()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        if (m_multi)
            curl_multi_wakeup(m_multi);
    }
    m_thread.join();
}

bool PageFeeder::stopping() const
{
    return (m_stop && m_stop->load(std::memory_order_relaxed));
}

void PageFeeder::take(int index, fetchdetail::TransferOutcome &outcome)
{
    std::unique_lock lock(m_mutex);
    if (index > m_consumerAt) {
        m_consumerAt = index;
        if (m_multi)
            curl_multi_wakeup(m_multi);
    }
    Slot &slot = m_slots[static_cast<size_t>(index)];
    m_changed.wait(lock, [&] { return slot.state == SlotState::Done || m_ended; });
    if (slot.state != SlotState::Done) {
        outcome = fetchdetail::TransferOutcome {};
        outcome.aborted = true;
        outcome.reason = u"stopped"_s;
        return;
    }
    outcome = std::move(slot.outcome);
    slot.state = SlotState::Taken;
}

void PageFeeder::recycle(QByteArray &&body)
{
    if (!fetchdetail::KeepForNextPage(body))
        return;
    body.truncate(0);
    std::lock_guard lock(m_mutex);
    if (m_spare.size() < static_cast<size_t>(m_window) + static_cast<size_t>(m_policy.parallel))
        m_spare.push_back(std::move(body));
}

QByteArray PageFeeder::spareBuffer()
{
    std::lock_guard lock(m_mutex);
    if (m_spare.empty())
        return {};
    QByteArray body = std::move(m_spare.front());
    m_spare.pop_front();
    return body;
}

int PageFeeder::nextToStart()
{
    if (m_budgetSpent)
        return -1;
    if (!m_retries.empty()) {
        const int index = m_retries.front();
        m_retries.pop_front();
        return index;
    }
    const int count = static_cast<int>(m_urls.size());
    while (m_nextFresh < count && m_urls[static_cast<size_t>(m_nextFresh)].isEmpty())
        ++m_nextFresh;
    // Pages the consumer has passed are not worth fetching.
    m_nextFresh = std::max(m_nextFresh, m_consumerAt);
    while (m_nextFresh < count && m_urls[static_cast<size_t>(m_nextFresh)].isEmpty())
        ++m_nextFresh;
    if (m_nextFresh >= count || m_nextFresh >= m_consumerAt + m_window)
        return -1;
    return m_nextFresh++;
}

void PageFeeder::startTransfers(CURLM *multi, std::vector<Lane> &lanes, int &inFlight)
{
    while (inFlight < m_maxInFlight && Clock::now() >= m_notBefore) {
        int index = -1;
        {
            std::lock_guard lock(m_mutex);
            index = nextToStart();
            if (index >= 0)
                m_slots[static_cast<size_t>(index)].state = SlotState::Active;
        }
        if (index < 0)
            return;
        auto lane = std::find_if(lanes.begin(), lanes.end(), [](const Lane &l) { return l.slot < 0; });
        Q_ASSERT(lane != lanes.end());
        if (lane->body.capacity() == 0)
            lane->body = spareBuffer();
        fetchdetail::PrepareTransfer(lane->easy, m_urls[static_cast<size_t>(index)], lane->state, lane->body,
            m_options, m_stop, lane->errorBuffer);
        // Over TLS a second request waits for the first connection's protocol choice (ALPN) and
        // joins it when it multiplexes, rather than opening a connection of its own. Plain
        // http is HTTP/1.1 here, which libcurl learns only from the first answer: waiting for
        // it would put every request behind a slow first one.
        const bool tls = m_urls[static_cast<size_t>(index)].startsWith("https:");
        curl_easy_setopt(lane->easy, CURLOPT_PIPEWAIT, tls ? 1L : 0L);
        lane->slot = index;
        ++inFlight;
        const CURLMcode added = curl_multi_add_handle(multi, lane->easy);
        if (added != CURLM_OK) {
            fetchdetail::TransferOutcome outcome;
            fetchdetail::MultiFailure(added, outcome);
            fetchdetail::DetachTransfer(lane->easy);
            lane->slot = -1;
            --inFlight;
            std::lock_guard lock(m_mutex);
            Slot &slot = m_slots[static_cast<size_t>(index)];
            slot.outcome = std::move(outcome);
            slot.state = SlotState::Done;
            m_changed.notify_all();
            continue;
        }
        if (m_policy.minIntervalMs > 0)
            m_notBefore = Clock::now() + std::chrono::milliseconds(m_policy.minIntervalMs);
    }
}

void PageFeeder::finishTransfer(CURLM *multi, Lane &lane, CURLcode result, int &inFlight)
{
    fetchdetail::TransferOutcome outcome;
    fetchdetail::CollectOutcome(lane.easy, result, lane.state, lane.errorBuffer, m_options, outcome);
    curl_multi_remove_handle(multi, lane.easy);
    fetchdetail::DetachTransfer(lane.easy);
    const int index = lane.slot;
    lane.slot = -1;
    --inFlight;

    if (outcome.received && asksToWait(outcome.status)) {
        // The site is asking for less: one request at a time from now on.
        m_maxInFlight = 1;
        bool retried = false;
        {
            std::lock_guard lock(m_mutex);
            retried = m_slots[static_cast<size_t>(index)].retried;
        }
        // A code asked twice fails with its answer; its Retry-After holds nothing more.
        if (outcome.retryAfterSeconds > 0 && !retried) {
            const qint64 wait
                = std::min<qint64>(outcome.retryAfterSeconds, FetchPolicy::kMaxRetryAfterSeconds);
            if (!holdFor(std::chrono::seconds(wait))) {
                std::lock_guard lock(m_mutex);
                m_slots[static_cast<size_t>(index)].outcome = waitBudgetSpent(outcome.status);
                m_slots[static_cast<size_t>(index)].state = SlotState::Done;
                failWaitingPages();
                m_changed.notify_all();
                lane.body.truncate(0);
                return;
            }
            {
                std::lock_guard lock(m_mutex);
                Slot &slot = m_slots[static_cast<size_t>(index)];
                slot.retried = true;
                slot.state = SlotState::Waiting;
            }
            m_retries.push_back(index);
            lane.body.truncate(0);
            return;
        }
    }
    outcome.body = std::move(lane.body);
    lane.body = QByteArray();
    std::lock_guard lock(m_mutex);
    Slot &slot = m_slots[static_cast<size_t>(index)];
    slot.outcome = std::move(outcome);
    slot.state = SlotState::Done;
    m_changed.notify_all();
}

bool PageFeeder::holdFor(std::chrono::seconds wait)
{
    if (m_budgetSpent)
        return false;
    // Only the time this hold adds counts: answers that overlap share one wait.
    const Clock::time_point now = Clock::now();
    const Clock::time_point until = now + wait;
    const Clock::time_point held = std::max(m_notBefore, now);
    const Clock::duration added = until > held ? until - held : Clock::duration::zero();
    if (m_held + added > std::chrono::seconds(m_policy.retryWaitBudgetSeconds)) {
        m_budgetSpent = true;
        m_retries.clear();
        return false;
    }
    m_held += added;
    m_notBefore = std::max(m_notBefore, until);
    return true;
}

void PageFeeder::failWaitingPages()
{
    for (Slot &slot : m_slots) {
        if (slot.state != SlotState::Waiting)
            continue;
        slot.outcome = waitBudgetSpent(0);
        slot.state = SlotState::Done;
    }
}

void PageFeeder::endRun(CURLM *multi, std::vector<Lane> &lanes, const fetchdetail::TransferOutcome *failure)
{
    // Whatever is still in flight is abandoned at once: removing a handle closes its transfer.
    for (Lane &lane : lanes) {
        if (lane.slot >= 0 && multi)
            curl_multi_remove_handle(multi, lane.easy);
        if (lane.easy) {
            fetchdetail::DetachTransfer(lane.easy);
            curl_easy_cleanup(lane.easy);
        }
        lane.easy = nullptr;
    }
    {
        std::lock_guard lock(m_mutex);
        m_multi = nullptr;
        for (Slot &slot : m_slots) {
            if (slot.state == SlotState::Done || slot.state == SlotState::Taken)
                continue;
            if (failure) {
                slot.outcome = *failure;
            } else {
                slot.outcome = fetchdetail::TransferOutcome {};
                slot.outcome.aborted = true;
                slot.outcome.reason = u"stopped"_s;
            }
            slot.state = SlotState::Done;
        }
        m_ended = true;
    }
    m_changed.notify_all();
    if (multi)
        curl_multi_cleanup(multi);
}

void PageFeeder::run()
{
    const int lanesWanted = m_policy.parallel;
    std::vector<Lane> lanes(static_cast<size_t>(lanesWanted));
    CURLM *multi = fetchdetail::GlobalInit() == CURLE_OK ? curl_multi_init() : nullptr;
    curl_slist *headers = fetchdetail::RequestHeaders();
    bool ready = multi != nullptr && headers != nullptr;
    for (Lane &lane : lanes) {
        lane.easy = ready ? curl_easy_init() : nullptr;
        ready = ready && lane.easy;
        if (lane.easy) {
            fetchdetail::SetUpEasy(lane.easy, m_options, headers, lane.errorBuffer);
        }
    }
    if (!ready) {
        fetchdetail::TransferOutcome failure;
        failure.failureCode = CURLE_FAILED_INIT;
        failure.meaning = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        failure.description = u"The HTTP client could not be initialised."_s;
        failure.reason = u"the HTTP client could not be initialised"_s;
        endRun(multi, lanes, &failure);
        curl_slist_free_all(headers);
        return;
    }
    curl_multi_setopt(multi, CURLMOPT_PIPELINING, static_cast<long>(CURLPIPE_MULTIPLEX));
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(lanesWanted));
    curl_multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(lanesWanted));
    curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, static_cast<long>(lanesWanted));
    {
        std::lock_guard lock(m_mutex);
        m_multi = multi;
    }

    int inFlight = 0;
    // Set when the multi handle fails: the cause of every page not finished by then.
    std::optional<fetchdetail::TransferOutcome> failure;
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_quit)
                break;
        }
        if (stopping())
            break;
        startTransfers(multi, lanes, inFlight);
        int running = 0;
        const CURLMcode performed = curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            auto lane = std::find_if(
                lanes.begin(), lanes.end(), [&](const Lane &l) { return l.easy == message->easy_handle; });
            if (lane != lanes.end() && lane->slot >= 0)
                finishTransfer(multi, *lane, message->data.result, inFlight);
        }
        if (performed != CURLM_OK) {
            // The multi handle itself is broken: every page still to come fails with its text.
            failure.emplace();
            fetchdetail::MultiFailure(performed, *failure);
            break;
        }
        // A request may start sooner than the poll's end once a Retry-After or interval runs out.
        int waitMs = fetchdetail::kPollMs;
        const auto now = Clock::now();
        if (m_notBefore > now && inFlight < m_maxInFlight) {
            const auto left
                = std::chrono::duration_cast<std::chrono::milliseconds>(m_notBefore - now).count();
            waitMs = static_cast<int>(std::clamp<qint64>(left + 1, 1, fetchdetail::kPollMs));
        } else if (inFlight == 0 && m_notBefore <= now) {
            // Nothing to do until the consumer moves on (it wakes the poll) or a stop.
            waitMs = fetchdetail::kPollMs;
        }
        if (const CURLMcode polled = fetchdetail::PollMulti(multi, waitMs); polled != CURLM_OK) {
            failure.emplace();
            fetchdetail::MultiFailure(polled, *failure);
            break;
        }
    }
    endRun(multi, lanes, failure ? &*failure : nullptr);
    curl_slist_free_all(headers);
}

// A request object whose Get takes the page the transfer thread fetched for the current code,
// and fetches on its own only for an address the batch did not foresee.
class FeederRequest : public HttpRequest {
public:
    FeederRequest(PageFeeder &feeder, HttpOptions options)
        : HttpRequest(options)
        , m_feeder(feeder)
    { }

    void expect(int index) { m_index = index; }

    bool Get(const QString &address, QString &text) override
    {
        const int index = m_index;
        m_index = -1;
        if (index < 0 || QString::fromUtf8(m_feeder.url(index)) != address)
            return HttpRequest::Get(address, text);
        fetchdetail::TransferOutcome outcome;
        m_feeder.take(index, outcome);
        const bool ok = finishGet(outcome, address, text);
        m_feeder.recycle(std::move(outcome.body));
        return ok;
    }

private:
    PageFeeder &m_feeder;
    int m_index = -1;
};

struct BatchFetcher::Impl {
    QStringList batch;
    int next = 0; // the first batch position not yet fetched
    std::unique_ptr<PageFeeder> feeder;
    FeederRequest *request = nullptr; // owned by fetcher
    std::unique_ptr<QuoteFetcher> fetcher;
};

BatchFetcher::BatchFetcher(
    const QStringList &batch, HttpOptions options, FetchPolicy policy, const std::atomic<bool> *stop)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->batch = batch;
    std::vector<QByteArray> urls;
    urls.reserve(static_cast<size_t>(batch.size()));
    for (const QString &code : batch) {
        const CodeKind kind = ClassifyCode(code);
        urls.push_back(kind == CodeKind::Invalid ? QByteArray() : PageAddress(code, kind).toUtf8());
    }
    m_impl->feeder = std::make_unique<PageFeeder>(std::move(urls), options, policy, stop);
    auto request = std::make_unique<FeederRequest>(*m_impl->feeder, options);
    request->setStopFlag(stop);
    m_impl->request = request.get();
    m_impl->fetcher = std::make_unique<QuoteFetcher>(std::move(request));
}

BatchFetcher::~BatchFetcher()
{
    // The fetcher's request refers to the feeder: it goes first.
    m_impl->fetcher.reset();
    m_impl->feeder.reset();
}

bool BatchFetcher::fetch(const QString &code)
{
    int index = -1;
    for (int i = m_impl->next; i < m_impl->batch.size(); ++i) {
        if (m_impl->batch.at(i) == code) {
            index = i;
            break;
        }
    }
    if (index >= 0)
        m_impl->next = index + 1;
    m_impl->request->expect(index);
    return m_impl->fetcher->FetchQuote(code, ClassifyCode(code));
}

const QuoteRecord &BatchFetcher::result() const
{
    return m_impl->fetcher->result();
}

const QString &BatchFetcher::error() const
{
    return m_impl->fetcher->error();
}
