#include "quotes/fetch/HttpRequest.h"

#include "corelib/TextCodec.h"

#include <QList>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcFetch, "quotra.fetch")

namespace {

// The site answers a browser; some sites serve reduced pages to unknown agents.
constexpr char kUserAgent[]
    = "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/124.0 Safari/537.36";
// An old date asks for the page unconditionally while keeping caches along the way honest.
constexpr char kIfModifiedSince[] = "If-Modified-Since: Thu, 01 Jun 1970 00:00:00 GMT";
constexpr char kAcceptLanguage[] = "Accept-Language: ja";
// How often the transfer loop looks at the stop flag while waiting for the network.
constexpr int kPollMs = 50;

std::once_flag g_globalInitOnce;
CURLcode g_globalInitResult = CURLE_OK;

CURLcode globalInit()
{
    std::call_once(g_globalInitOnce, [] { g_globalInitResult = curl_global_init(CURL_GLOBAL_DEFAULT); });
    return g_globalInitResult;
}

// State shared with libcurl's callbacks during one transfer.
struct TransferState {
    CURL *easy = nullptr;
    QByteArray *body = nullptr;
    qint64 maxBodyBytes = 0;
    bool sized = false; // the body's room was set from the declared length
    const std::atomic<bool> *stop = nullptr;
    bool tooLarge = false;
    bool stopped = false;
};

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

bool stopRequested(const std::atomic<bool> *stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

// The value of the charset parameter of a Content-Type header, without quotes; empty if none.
QByteArray charsetParameter(const QByteArray &contentType)
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
QByteArray browserCharset(const QByteArray &label)
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

bool isLoopback(const QByteArray &url)
{
    const QString host = QUrl(QString::fromUtf8(url)).host();
    return host == u"localhost" || host == u"::1" || host.startsWith(u"127.");
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
    if (globalInit() != CURLE_OK)
        return;
    auto handles = std::make_unique<Handles>();
    handles->easy = curl_easy_init();
    handles->multi = curl_multi_init();
    if (!handles->easy || !handles->multi)
        return;
    handles->headers = curl_slist_append(handles->headers, kIfModifiedSince);
    handles->headers = curl_slist_append(handles->headers, kAcceptLanguage);

    CURL *easy = handles->easy;
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, handles->errorBuffer);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, handles->headers);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // Addresses come from a configurable site root: never let one read local files.
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_options.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(m_options.totalTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_options.maxBodyBytes));
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 128L * 1024);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, transferProgress);
    m_handles = std::move(handles);
}

HttpRequest::~HttpRequest() = default;

void HttpRequest::setStopFlag(const std::atomic<bool> *stop)
{
    m_stop = stop;
}

bool HttpRequest::Get(const QString &address, QString &text)
{
    m_lastStatus = 0;
    m_lastAborted = false;
    m_lastError.clear();
    m_lastUnknownCharset.clear();
    if (!m_handles) {
        const char *meaning = curl_easy_strerror(CURLE_FAILED_INIT);
        reportFailure(CURLE_FAILED_INIT, QString::fromUtf8(meaning), u"libcurl GET "_s + address,
            u"The HTTP client could not be initialised."_s, u"the HTTP client could not be initialised"_s);
        return false;
    }
    if (stopRequested(m_stop)) {
        m_lastAborted = true;
        m_lastError = u"stopped"_s;
        return false;
    }
    QByteArray contentType;
    const bool received = transfer(address.toUtf8(), contentType);
    const bool ok = received && m_lastStatus >= 200 && m_lastStatus <= 299;
    if (received && !ok)
        m_lastError = u"HTTP status %1"_s.arg(m_lastStatus);
    if (ok) {
        text = decodeBody(m_body, contentType);
        const QByteArray label = charsetParameter(contentType);
        if (!label.isEmpty() && !tessera::IsKnownCharset(browserCharset(label).constData()))
            m_lastUnknownCharset = label;
    }
    keepOrReleaseBody();
    return ok;
}

void HttpRequest::keepOrReleaseBody()
{
    // The receive buffer keeps its room for the next page of a run, so pages of the usual
    // size arrive without allocating; a buffer that one huge answer inflated is let go.
    constexpr qsizetype kKeptRoom = 4 * 1024 * 1024;
    if (m_body.capacity() > kKeptRoom && m_body.size() < m_body.capacity() / 4)
        m_body = QByteArray();
    else
        m_body.truncate(0);
}

bool HttpRequest::transfer(const QByteArray &url, QByteArray &contentType)
{
    CURL *easy = m_handles->easy;
    CURLM *multi = m_handles->multi;
    m_handles->errorBuffer[0] = '\0';

    m_body.truncate(0);
    TransferState state;
    state.easy = easy;
    state.body = &m_body;
    state.maxBodyBytes = m_options.maxBodyBytes;
    state.stop = m_stop;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    // Proxies come from the environment, but like browsers the loopback site is reached
    // directly (an empty proxy name disables the proxy, null restores the environment's).
    curl_easy_setopt(easy, CURLOPT_PROXY, isLoopback(url) ? "" : nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &state);

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
        multiResult = curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    m_lastStatus = static_cast<int>(status);
    char *type = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
        contentType = type;
    curl_multi_remove_handle(multi, easy);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, nullptr);

    const QString source = u"libcurl GET "_s + QString::fromUtf8(url);
    if (state.stopped) {
        m_lastAborted = true;
        m_lastError = u"stopped"_s;
        return false;
    }
    if (multiResult != CURLM_OK) {
        const QString meaning = QString::fromUtf8(curl_multi_strerror(multiResult));
        reportFailure(static_cast<long>(multiResult), meaning, source, meaning, meaning);
        return false;
    }
    if (state.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        const QString limit = u"larger than %1 bytes"_s.arg(m_options.maxBodyBytes);
        reportFailure(static_cast<long>(result), QString::fromUtf8(curl_easy_strerror(result)), source,
            u"The answer is "_s + limit + u'.', u"the answer is "_s + limit);
        return false;
    }
    if (result != CURLE_OK) {
        const QString meaning = QString::fromUtf8(curl_easy_strerror(result));
        const QString detail = QString::fromUtf8(m_handles->errorBuffer);
        reportFailure(static_cast<long>(result), meaning, source, detail.isEmpty() ? meaning : detail,
            failureReason(result, detail.isEmpty() ? meaning : detail));
        return false;
    }
    return true;
}

QString HttpRequest::failureReason(int curlCode, const QString &detail) const
{
    switch (curlCode) {
    case CURLE_OPERATION_TIMEDOUT:
        return u"timed out after %1 s"_s.arg(m_options.totalTimeoutMs / 1000.0);
    case CURLE_COULDNT_CONNECT:
        return u"connection refused ("_s + detail + u')';
    case CURLE_COULDNT_RESOLVE_HOST:
        return u"host not found ("_s + detail + u')';
    default:
        return detail;
    }
}

void HttpRequest::reportFailure(long code, const QString &meaning, const QString &source,
    const QString &description, const QString &reason)
{
    m_lastError = reason;
    // The design's diagnostic block, word for word.
    qCWarning(lcFetch).noquote() << u"Error:\nCode = %1\nCode meaning = %2\nSource = %3\nDescription = %4"_s
                                        .arg(static_cast<qulonglong>(code), 8, 16, QLatin1Char('0'))
                                        .arg(meaning, source, description);
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
    const QByteArray label = charsetParameter(contentType);
    if (label.isEmpty())
        return tessera::DecodeText(body, "UTF-8");
    return tessera::DecodeText(body, browserCharset(label).constData());
}
