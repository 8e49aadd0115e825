#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QTcpServer;
class QTcpSocket;

namespace samplesite {

struct ServerOptions {
    int delayMs = 0; // added before every answer
    QSet<QString> fail404; // codes answered with 404
    QSet<QString> fail500; // codes answered with 500
    QSet<QString> hang; // codes whose request is never answered
    qint64 padBytes = -1; // see PageOptions::padBytes
    QString charset = QStringLiteral("UTF-8"); // "UTF-8", "Shift_JIS" or "EUC-JP"
    QHash<QString, int> codeDelayMs; // codes answered after their own delay instead of delayMs
    int rateLimit = 0; // quote requests a second beyond which the answer is 429; 0: no limit
    QSet<QString> busyOnce; // codes whose first request is answered 429
    int retryAfterSeconds = 1; // the Retry-After of a 429
    bool retryAfterDate = false; // Retry-After as an HTTP date rather than seconds
    // TLS with this identity (PEM), offering HTTP/2 ("h2") and HTTP/1.1 by ALPN; plain
    // HTTP/1.1 when empty.
    QByteArray tlsCertificate;
    QByteArray tlsPrivateKey;
};

// The sample quote site: an event-driven HTTP/1.1 server with keep-alive and Content-Length
// answers, or over TLS one that speaks HTTP/2 (Http2Session) to clients that choose it by
// ALPN and HTTP/1.1 to the others. Pages come from SamplePages; "/__stats" answers the counts
// as plain text.
class SampleServer : public QObject {
    Q_OBJECT
public:
    explicit SampleServer(ServerOptions options, QObject *parent = nullptr);
    ~SampleServer() override;

    // Listens on 127.0.0.1; port 0 picks a free one.
    bool listen(quint16 port);
    quint16 port() const;
    QString errorString() const;

    qint64 connectionCount() const { return m_connections; }
    qint64 requestCount() const { return m_requests; } // every request but those for /__stats
    qint64 peakInFlight() const { return m_peakInFlight; } // most requests waiting for an answer at once
    qint64 limitedCount() const { return m_limited; } // requests answered 429
    qint64 streamCount() const { return m_streams; } // counted requests that came over HTTP/2
    QString statsLine() const;

    struct Answer {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        bool hang = false;
        int delayMs = -1; // -1: the server's delay
        QByteArray extraHeaders; // complete lines, each ending in CRLF
    };
    // The answer to one GET or HEAD, whichever protocol carried it. `counted` tells whether
    // the request counts (not /__stats) and is now in flight until requestAnswered().
    Answer answerRequest(const QByteArray &method, const QByteArray &target, bool &counted, bool http2);
    void requestAnswered();
    int defaultDelayMs() const { return m_options.delayMs; }

private:
    struct Client {
        QByteArray buffer;
        bool busy = false; // an answer is delayed, or the connection hangs
        bool counted = false; // its request counts as in flight until answered
    };
    void onNewConnection();
    void processNext(QTcpSocket *socket);
    Answer route(const QByteArray &method, const QByteArray &target);
    Answer quoteAnswer(const QString &code);
    Answer page(const QString &text) const;
    static Answer plain(int status, const QByteArray &text);
    Answer tooManyRequests();
    bool overRateLimit();
    void answered(QTcpSocket *socket);
    void send(QTcpSocket *socket, const Answer &answer, bool head, bool keepAlive);

    ServerOptions m_options;
    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, Client> m_clients;
    qint64 m_connections = 0;
    qint64 m_requests = 0;
    qint64 m_inFlight = 0;
    qint64 m_peakInFlight = 0;
    qint64 m_limited = 0;
    qint64 m_streams = 0;
    QSet<QString> m_busyAnswered; // busyOnce codes already answered 429
    QList<qint64> m_recentStarts; // ms of the clock below, for the rate limit
    QElapsedTimer m_clock;
};

} // namespace samplesite
