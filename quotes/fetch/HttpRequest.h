#pragma once

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <atomic>
#include <memory>

namespace fetchdetail {
struct TransferOutcome;
}

// Diagnostics of failed transfers ("quotra.fetch.warning=false" in QT_LOGGING_RULES hides them).
Q_DECLARE_LOGGING_CATEGORY(lcFetch)

// Limits of one GET. A stop request or a time-out must never leave the caller waiting for
// minutes, and a runaway answer must not eat the memory.
struct HttpOptions {
    int connectTimeoutMs = 10000;
    int totalTimeoutMs = 30000;
    qint64 maxBodyBytes = 32 * 1024 * 1024;
};

// The page request object: synchronous GETs through one libcurl handle, so a run of requests to
// the quote site reuses one keep-alive connection. Not shared between threads; create and use
// it on one thread. Redirects are not followed: a 3xx answer is a failed fetch.
class HttpRequest {
public:
    explicit HttpRequest(HttpOptions options = {});
    virtual ~HttpRequest();
    HttpRequest(const HttpRequest &) = delete;
    HttpRequest &operator=(const HttpRequest &) = delete;

    // A flag that another thread may set to abort the request in flight (and every later one
    // until it is cleared). Null: no stop. The flag must outlive the requests.
    void setStopFlag(const std::atomic<bool> *stop);

    // GETs the address and stores the body, decoded by the charset the answer declares
    // (UTF-8 when none or when the charset is unknown), in text; on failure text is left as
    // it was. True only for an HTTP status 200-299. A transport failure writes the design's
    // diagnostic block to the logging category quotra.fetch (QT_LOGGING_RULES switches it);
    // a status outside 200-299 or a stop does not.
    virtual bool Get(const QString &address, QString &text);

    int lastStatus() const { return m_lastStatus; } // HTTP status of the last Get, 0 when none
    bool lastAborted() const { return m_lastAborted; } // the last Get was cut short by the stop flag
    // Why the last Get failed, as the tail of a message: "HTTP status 404", "timed out after
    // 30 s", "connection refused", "host not found", "the answer is larger than N bytes",
    // "stopped", or libcurl's own text. Empty on success.
    QString lastError() const { return m_lastError; }
    // The charset the last answer declared when the converters do not know it (the body was
    // then read as UTF-8); empty otherwise. A page that does not parse may be why.
    QByteArray lastUnknownCharset() const { return m_lastUnknownCharset; }

    // Decodes a body by the charset of a Content-Type value; exposed for the tests.
    static QString decodeBody(const QByteArray &body, const QByteArray &contentType);

protected:
    // Ends a Get whose transfer ran elsewhere (the parallel fetch): sets the last status,
    // error and charset from `outcome` and, for a status 200-299, decodes its body into text.
    bool finishGet(const fetchdetail::TransferOutcome &outcome, const QString &address, QString &text);
    const HttpOptions &options() const { return m_options; }

private:
    struct Handles;
    void transfer(const QByteArray &url, fetchdetail::TransferOutcome &outcome); // body in m_body
    void keepOrReleaseBody();

    HttpOptions m_options;
    std::unique_ptr<Handles> m_handles; // null when libcurl could not be set up
    const std::atomic<bool> *m_stop = nullptr;
    int m_lastStatus = 0;
    bool m_lastAborted = false;
    QString m_lastError;
    QByteArray m_lastUnknownCharset;
    QByteArray m_body; // receive buffer, kept with its room from one Get to the next
};
