#include "quotes/fetch/HttpRequest.h"

#include "corelib/TextCodec.h"
#include "quotes/fetch/CurlTransfer.h"

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcFetch, "quotra.fetch")

namespace {

bool stopRequested(const std::atomic<bool> *stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

} // namespace

struct HttpRequest::Handles {
    CURL *easy = nullptr;
    CURLM *multi = nullptr;
    curl_slist *headers = nullptr;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    ~Handles()
    {
        if (multi)
            curl_multi_cleanup(multi);
        if (easy)
            curl_easy_cleanup(easy);
        curl_slist_free_all(headers);
    }
};

HttpRequest::HttpRequest(HttpOptions options)
    : m_options(options)
{
    if (fetchdetail::GlobalInit() != CURLE_OK)
        return;
    auto handles = std::make_unique<Handles>();
    handles->easy = curl_easy_init();
    handles->multi = curl_multi_init();
    if (!handles->easy || !handles->multi)
        return;
    handles->headers = fetchdetail::RequestHeaders();
    fetchdetail::SetUpEasy(handles->easy, m_options, handles->headers, handles->errorBuffer);
    m_handles = std::move(handles);
}

HttpRequest::~HttpRequest() = default;

void HttpRequest::setStopFlag(const std::atomic<bool> *stop)
{
    m_stop = stop;
}

bool HttpRequest::Get(const QString &address, QString &text)
{
    fetchdetail::TransferOutcome outcome;
    if (!m_handles) {
        outcome.failureCode = CURLE_FAILED_INIT;
        outcome.meaning = QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT));
        outcome.description = u"The HTTP client could not be initialised."_s;
        outcome.reason = u"the HTTP client could not be initialised"_s;
        return finishGet(outcome, address, text);
    }
    if (stopRequested(m_stop)) {
        outcome.aborted = true;
        return finishGet(outcome, address, text);
    }
    transfer(address.toUtf8(), outcome);
    outcome.body = std::move(m_body);
    const bool ok = finishGet(outcome, address, text);
    m_body = std::move(outcome.body);
    keepOrReleaseBody();
    return ok;
}

bool HttpRequest::finishGet(
    const fetchdetail::TransferOutcome &outcome, const QString &address, QString &text)
{
    m_lastStatus = outcome.status;
    m_lastAborted = outcome.aborted;
    m_lastError.clear();
    m_lastUnknownCharset.clear();
    if (outcome.aborted) {
        m_lastError = u"stopped"_s;
        return false;
    }
    if (!outcome.received) {
        m_lastError = outcome.reason;
        if (outcome.notSent)
            return false; // no transfer failed: there is nothing to diagnose
        fetchdetail::ReportFailure(
            outcome.failureCode, outcome.meaning, u"libcurl GET "_s + address, outcome.description);
        return false;
    }
    if (m_lastStatus < 200 || m_lastStatus > 299) {
        m_lastError = u"HTTP status %1"_s.arg(m_lastStatus);
        return false;
    }
    text = decodeBody(outcome.body, outcome.contentType);
    const QByteArray label = fetchdetail::CharsetParameter(outcome.contentType);
    if (!label.isEmpty() && !tessera::IsKnownCharset(fetchdetail::BrowserCharset(label).constData()))
        m_lastUnknownCharset = label;
    return true;
}

void HttpRequest::keepOrReleaseBody()
{
    if (fetchdetail::KeepForNextPage(m_body))
        m_body.truncate(0);
    else
        m_body = QByteArray();
}

void HttpRequest::transfer(const QByteArray &url, fetchdetail::TransferOutcome &outcome)
{
    CURL *easy = m_handles->easy;
    CURLM *multi = m_handles->multi;
    fetchdetail::TransferState state;
    fetchdetail::PrepareTransfer(easy, url, state, m_body, m_options, m_stop, m_handles->errorBuffer);

    // The multi loop instead of curl_easy_perform: the stop flag is looked at every kPollMs
    // even while the peer sends nothing. The multi handle keeps the connection for the next Get.
    CURLcode result = CURLE_OK;
    CURLMcode multiResult = curl_multi_add_handle(multi, easy);
    bool done = false;
    while (multiResult == CURLM_OK && !done) {
        int running = 0;
        multiResult = curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg *message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                result = message->data.result;
                done = true;
            }
        }
        if (done || multiResult != CURLM_OK)
            break;
        if (running == 0) {
            // Finished without a completion message: cannot happen with one handle, but do
            // not spin on it.
            result = CURLE_RECV_ERROR;
            done = true;
            break;
        }
        if (stopRequested(m_stop)) {
            state.stopped = true;
            break;
        }
        multiResult = curl_multi_poll(multi, nullptr, 0, fetchdetail::kPollMs, nullptr);
    }

    fetchdetail::CollectOutcome(easy, result, state, m_handles->errorBuffer, m_options, outcome);
    curl_multi_remove_handle(multi, easy);
    fetchdetail::DetachTransfer(easy);
    if (multiResult != CURLM_OK && !outcome.aborted)
        fetchdetail::MultiFailure(multiResult, outcome);
}

QString HttpRequest::decodeBody(const QByteArray &body, const QByteArray &contentType)
{
    // A byte order mark outranks the declared charset, as in browsers.
    // The marks are skipped without copying the page.
    const auto after = [&body](qsizetype mark) {
        return QByteArray::fromRawData(body.constData() + mark, body.size() - mark);
    };
    if (body.startsWith("\xEF\xBB\xBF"))
        return tessera::DecodeText(after(3), "UTF-8");
    if (body.startsWith("\xFE\xFF"))
        return tessera::DecodeText(after(2), "UTF-16BE");
    if (body.startsWith("\xFF\xFE"))
        return tessera::DecodeText(after(2), "UTF-16LE");
    const QByteArray label = fetchdetail::CharsetParameter(contentType);
    if (label.isEmpty())
        return tessera::DecodeText(body, "UTF-8");
    return tessera::DecodeText(body, fetchdetail::BrowserCharset(label).constData());
}
