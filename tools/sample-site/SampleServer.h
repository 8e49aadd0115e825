#pragma once

#include <QByteArray>
#include <QHash>
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
};

// The sample quote site: an event-driven HTTP/1.1 server with keep-alive and Content-Length
// answers. Pages come from SamplePages; "/__stats" answers the counts as plain text.
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
    QString statsLine() const;

private:
    struct Client {
        QByteArray buffer;
        bool busy = false; // an answer is delayed, or the connection hangs
    };
    struct Answer {
        int status = 200;
        QByteArray contentType;
        QByteArray body;
        bool hang = false;
    };

    void onNewConnection();
    void processNext(QTcpSocket *socket);
    Answer route(const QByteArray &method, const QByteArray &target);
    Answer quoteAnswer(const QString &code);
    Answer page(const QString &text) const;
    static Answer plain(int status, const QByteArray &text);
    void send(QTcpSocket *socket, const Answer &answer, bool head, bool keepAlive);

    ServerOptions m_options;
    QTcpServer *m_server;
    QHash<QTcpSocket *, Client> m_clients;
    qint64 m_connections = 0;
    qint64 m_requests = 0;
};

} // namespace samplesite
