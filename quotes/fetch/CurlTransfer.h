#pragma once

// Internal to the fetch code: what HttpRequest and the parallel fetch share about one libcurl
// transfer (the handle's options, the body cap, the failure reasons, the charset). Not for use
// outside quotes/fetch.

#include "quotes/fetch/HttpRequest.h"

#include <QByteArray>
#include <QString>

#include <curl/curl.h>

#include <atomic>

namespace fetchdetail {

// How often a transfer loop looks at the stop flag while the network is quiet.
constexpr int kPollMs = 50;

// Whether a receive buffer is kept for the next page once its answer was taken: pages of the
// usual size then arrive without allocating, while a buffer that a huge answer inflated past
// 4 MiB is let go, so a run never holds more than that per buffer.
inline bool KeepForNextPage(const QByteArray &body)
{
    constexpr qsizetype kKeptRoom = 4 * 1024 * 1024;
    return body.capacity() <= kKeptRoom;
}

// curl_global_init once per process; CURLE_OK when libcurl is usable.
CURLcode GlobalInit();

// The request headers every GET sends; owned by the caller (curl_slist_free_all).
curl_slist *RequestHeaders();

// State shared with libcurl's callbacks during one transfer of one easy handle.
struct TransferState {
    CURL *easy = nullptr;
    QByteArray *body = nullptr;
    qint64 maxBodyBytes = 0;
    bool sized = false; // the body's room was set from the declared length
    const std::atomic<bool> *stop = nullptr; // looked at by the progress callback; may be null
    bool tooLarge = false;
    bool stopped = false;
};

// Sets the options every page GET uses (agent, headers, time-outs, size cap, protocols, the
// callbacks) on `easy`. `headers` and `errorBuffer` must outlive the handle's transfers.
void SetUpEasy(CURL *easy, const HttpOptions &options, curl_slist *headers, char *errorBuffer);
// Points the handle at `url` and at `state` for one transfer; resets `state` and the body.
void PrepareTransfer(CURL *easy, const QByteArray &url, TransferState &state, QByteArray &body,
    const HttpOptions &options, const std::atomic<bool> *stop, char *errorBuffer);
// Detaches the handle's callbacks from the state of the finished transfer.
void DetachTransfer(CURL *easy);

// What one finished transfer left: the answer, or why there was none.
struct TransferOutcome {
    bool received = false; // an HTTP answer arrived (any status)
    bool aborted = false; // cut short by a stop
    bool notSent = false; // not asked (again): the run may not wait on the site any longer
    int status = 0;
    QByteArray contentType;
    QByteArray body;
    qint64 retryAfterSeconds = 0; // the answer's Retry-After, 0 when none
    // When !received and !aborted: the diagnostic fields (none when notSent) and the short reason.
    long failureCode = 0;
    QString meaning;
    QString description;
    QString reason;
};

// Fills `outcome` from a finished transfer of `easy` (curl result `result`, its state and
// error buffer); the body stays where the state put it.
void CollectOutcome(CURL *easy, CURLcode result, const TransferState &state, const char *errorBuffer,
    const HttpOptions &options, TransferOutcome &outcome);
// The outcome of a multi handle failure.
void MultiFailure(CURLMcode code, TransferOutcome &outcome);

// The wait of the parallel fetch's transfer thread (curl_multi_poll without extra sockets).
// Tests put one in its place that fails, since a real multi handle fails only on a fault.
using MultiPoll = CURLMcode (*)(CURLM *multi, int timeoutMs);
void SetMultiPoll(MultiPoll poll); // null: curl_multi_poll
CURLMcode PollMulti(CURLM *multi, int timeoutMs);

// Writes the diagnostic block of a failed transfer to the quotra.fetch category.
void ReportFailure(long code, const QString &meaning, const QString &source, const QString &description);

// The value of the charset parameter of a Content-Type header, without quotes; empty if none.
QByteArray CharsetParameter(const QByteArray &contentType);
// The converter name a browser would use for a charset label.
QByteArray BrowserCharset(const QByteArray &label);

} // namespace fetchdetail
