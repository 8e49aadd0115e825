#include "quotes/fetch/CurlTransfer.h"

#include "quotes/SiteRoot.h"

#include <QList>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <mutex>

using namespace Qt::StringLiterals;

namespace fetchdetail {

namespace {

// The site answers a browser; some sites serve reduced pages to unknown agents.
constexpr char kUserAgent[]
    = "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/124.0 Safari/537.36";
// An old date asks for the page unconditionally while keeping caches along the way honest.
constexpr char kIfModifiedSince[] = "If-Modified-Since: Thu, 01 Jun 1970 00:00:00 GMT";
constexpr char kAcceptLanguage[] = "Accept-Language: ja";

std::once_flag g_globalInitOnce;
CURLcode g_globalInitResult = CURLE_OK;

size_t writeBody(char *data, size_t size, size_t count, void *user)
{
    auto *state = static_cast<TransferState *>(user);
    const size_t bytes = size * count;
    if (!state->sized) {
        // Room for the whole body at once rather than growing it piece by piece, which
        // copies it and faults in fresh memory at every step. The declared length is only
        // a hint (a compressed answer inflates past it) and is capped by the size limit.
        state->sized = true;
        curl_off_t declared = -1;
        if (curl_easy_getinfo(state->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &declared) == CURLE_OK
            && declared > state->body->capacity())
            state->body->reserve(static_cast<qsizetype>(std::min<qint64>(declared, state->maxBodyBytes)));
    }
    if (state->body->size() + static_cast<qint64>(bytes) > state->maxBodyBytes) {
        state->tooLarge = true;
        return 0; // any count but the one given fails the transfer
    }
    state->body->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

int transferProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *state = static_cast<TransferState *>(user);
    if (state->stop && state->stop->load(std::memory_order_relaxed)) {
        state->stopped = true;
        return 1;
    }
    return 0;
}

bool isLoopback(const QByteArray &url)
{
    const QString host = QUrl(QString::fromUtf8(url)).host();
    return host == u"localhost" || host == u"::1" || host.startsWith(u"127.");
}

QString failureReason(int curlCode, const QString &detail, const HttpOptions &options)
{
    switch (curlCode) {
    case CURLE_OPERATION_TIMEDOUT:
        return u"timed out after %1 s"_s.arg(options.totalTimeoutMs / 1000.0);
    case CURLE_COULDNT_CONNECT:
        return u"connection refused ("_s + detail + u')';
    case CURLE_COULDNT_RESOLVE_HOST:
        return u"host not found ("_s + detail + u')';
    default:
        return detail;
    }
}

} // namespace

CURLcode GlobalInit()
{
    std::call_once(g_globalInitOnce, [] { g_globalInitResult = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return g_globalInitResult;
}

curl_slist *RequestHeaders()
{
    curl_slist *headers = curl_slist_append(nullptr, kIfModifiedSince);
    return curl_slist_append(headers, kAcceptLanguage);
}

void SetUpEasy(CURL *easy, const HttpOptions &options, curl_slist *headers, char *errorBuffer)
{
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // Addresses come from a configurable site root: never let one read local files.
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    // HTTP/2 where TLS offers it (ALPN), as browsers do, so that the requests of a run share
    // one connection; HTTP/1.1 otherwise.
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2TLS));
    const QByteArray caFile = SiteCaFile();
    if (!caFile.isEmpty())
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.constData()); // copied by libcurl
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 128L * 1024);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, transferProgress);
}

void PrepareTransfer(CURL *easy, const QByteArray &url, TransferState &state, QByteArray &body,
    const HttpOptions &options, const std::atomic<bool> *stop, char *errorBuffer)
{
    errorBuffer[0] = '\0';
    body.truncate(0);
    state = TransferState {};
    state.easy = easy;
    state.body = &body;
    state.maxBodyBytes = options.maxBodyBytes;
    state.stop = stop;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    // Proxies come from the environment, but like browsers the loopback site is reached
    // directly (an empty proxy name disables the proxy, null restores the environment's).
    curl_easy_setopt(easy, CURLOPT_PROXY, isLoopback(url) ? "" : nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &state);
}

void DetachTransfer(CURL *easy)
{
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, nullptr);
}

void CollectOutcome(CURL *easy, CURLcode result, const TransferState &state, const char *errorBuffer,
    const HttpOptions &options, TransferOutcome &outcome)
{
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    outcome.status = static_cast<int>(status);
    char *type = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        outcome.contentType = type;
    // libcurl reads both forms of the header, seconds and an HTTP date (then as seconds from now).
    curl_off_t retryAfter = 0;
    if (curl_easy_getinfo(easy, CURLINFO_RETRY_AFTER, &retryAfter) == CURLE_OK && retryAfter > 0)
        outcome.retryAfterSeconds = static_cast<qint64>(retryAfter);

    outcome.received = false;
    outcome.aborted = false;
    if (state.stopped) {
        outcome.aborted = true;
        outcome.reason = u"stopped"_s;
        return;
    }
    if (state.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        const QString limit = u"larger than %1 bytes"_s.arg(options.maxBodyBytes);
        outcome.failureCode = static_cast<long>(result);
        outcome.meaning = QString::fromUtf8(curl_easy_strerror(result));
        outcome.description = u"The answer is "_s + limit + u'.';
        outcome.reason = u"the answer is "_s + limit;
        return;
    }
    if (result != CURLE_OK) {
        const QString meaning = QString::fromUtf8(curl_easy_strerror(result));
        const QString detail = QString::fromUtf8(errorBuffer);
        outcome.failureCode = static_cast<long>(result);
        outcome.meaning = meaning;
        outcome.description = detail.isEmpty() ? meaning : detail;
        outcome.reason = failureReason(result, outcome.description, options);
        return;
    }
    outcome.received = true;
}

void MultiFailure(CURLMcode code, TransferOutcome &outcome)
{
    const QString meaning = QString::fromUtf8(curl_multi_strerror(code));
    outcome.received = false;
    outcome.aborted = false;
    outcome.failureCode = static_cast<long>(code);
    outcome.meaning = meaning;
    outcome.description = meaning;
    outcome.reason = meaning;
}

namespace {
std::atomic<MultiPoll> g_multiPoll { nullptr };
} // namespace

void SetMultiPoll(MultiPoll poll)
{
    g_multiPoll.store(poll);
}

CURLMcode PollMulti(CURLM *multi, int timeoutMs)
{
    if (const MultiPoll poll = g_multiPoll.load())
        return poll(multi, timeoutMs);
    return curl_multi_poll(multi, nullptr, 0, timeoutMs, nullptr);
}

void ReportFailure(long code, const QString &meaning, const QString &source, const QString &description)
{
    // The design's diagnostic block, word for word.
    qCWarning(lcFetch).noquote() << u"Error:\nCode = %1\nCode meaning = %2\nSource = %3\nDescription = %4"_s
                                        .arg(static_cast<qulonglong>(code), 8, 16, QLatin1Char('0'))
                                        .arg(meaning, source, description);
}

QByteArray CharsetParameter(const QByteArray &contentType)
{
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq < 0 || part.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2).trimmed();
        return value;
    }
    return {};
}

// Browsers read these labels as the wider Windows code pages; pages labelled Shift_JIS use the
// vendor characters (①, ～ as U+FF5E) that strict Shift_JIS lacks.
QByteArray BrowserCharset(const QByteArray &label)
{
    struct Alias {
        const char *label;
        const char *charset;
    };
    static const Alias kAliases[] = {
        { "shift_jis", "windows-31j" },
        { "shift-jis", "windows-31j" },
        { "sjis", "windows-31j" },
        { "x-sjis", "windows-31j" },
        { "ms_kanji", "windows-31j" },
        { "csshiftjis", "windows-31j" },
        { "windows-31j", "windows-31j" },
        { "cp932", "windows-31j" },
        { "euc-jp", "EUC-JP" },
        { "x-euc-jp", "EUC-JP" },
        { "cseucpkdfmtjapanese", "EUC-JP" },
        { "iso-8859-1", "windows-1252" },
        { "latin1", "windows-1252" },
        { "us-ascii", "windows-1252" },
        { "ascii", "windows-1252" },
    };
    const QByteArray lower = label.toLower();
    for (const Alias &alias : kAliases) {
        if (lower == alias.label)
            return alias.charset;
    }
    return label;
}

} // namespace fetchdetail
