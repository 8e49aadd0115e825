#include "SampleServer.h"

#include "Http2Session.h"
#include "SamplePages.h"

#include "corelib/TextCodec.h"

#include <QDateTime>
#include <QHostAddress>
#include <QLocale>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace samplesite {

namespace {

// A request head larger than this is refused; browsers send a few hundred bytes.
constexpr qsizetype kMaxHeadBytes = 16 * 1024;
// Bodies are not expected with GET; a small one is read and dropped, a big one refused.
constexpr qint64 kMaxRequestBody = 1024 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 429:
        return "Too Many Requests";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    }
    return "Status";
}

// The code without an exchange suffix ("7203.T" -> "7203"), for matching the failure lists.
QString baseCode(const QString &code)
{
    const qsizetype dot = code.indexOf(u'.');
    return dot > 0 && dot == code.size() - 2 ? code.left(dot) : code;
}

} // namespace

SampleServer::SampleServer(ServerOptions options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    if (m_options.tlsCertificate.isEmpty()) {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, &SampleServer::onNewConnection);
    } else {
        auto *server = new QSslServer(this);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(m_options.tlsCertificate, QSsl::Pem));
        tls.setPrivateKey(QSslKey(m_options.tlsPrivateKey, QSsl::Ec, QSsl::Pem));
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        tls.setAllowedNextProtocols({ QSslConfiguration::ALPNProtocolHTTP2, "http/1.1" });
        server->setSslConfiguration(tls);
        // Sockets become pending once their handshake is done, so the protocol is known.
        connect(server, &QTcpServer::pendingConnectionAvailable, this, &SampleServer::onNewConnection);
        m_server = server;
    }
    m_clock.start();
}

SampleServer::~SampleServer() = default;

bool SampleServer::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 SampleServer::port() const
{
    return m_server->serverPort();
}

QString SampleServer::errorString() const
{
    return m_server->errorString();
}

QString SampleServer::statsLine() const
{
    return u"connections %1 requests %2 peak %3 limited %4 streams %5"_s.arg(m_connections)
        .arg(m_requests)
        .arg(m_peakInFlight)
        .arg(m_limited)
        .arg(m_streams);
}

void SampleServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++m_connections;
        auto *tls = qobject_cast<QSslSocket *>(socket);
        if (tls && tls->sslConfiguration().nextNegotiatedProtocol() == QSslConfiguration::ALPNProtocolHTTP2) {
            new Http2Session(socket, this);
            continue;
        }
        m_clients.insert(socket, Client {});
        auto readHead = [this, socket] {
            auto it = m_clients.find(socket);
            if (it == m_clients.end())
                return;
            it->buffer += socket->readAll();
            // A peer that keeps sending while its answers wait is cut off.
            if (it->buffer.size() > kMaxHeadBytes + kMaxRequestBody) {
                // Queued: a TLS socket must not be closed inside its own readyRead.
                QMetaObject::invokeMethod(socket, &QTcpSocket::abort, Qt::QueuedConnection);
                it->busy = true;
                return;
            }
            processNext(socket);
        };
        connect(socket, &QTcpSocket::readyRead, this, readHead);
        // Queued: the socket may report its end while one of our own calls still uses it.
        connect(
            socket, &QTcpSocket::disconnected, this,
            [this, socket] {
                answered(socket); // a request that hung ends with its connection
                m_clients.remove(socket);
                socket->deleteLater();
            },
            Qt::QueuedConnection);
        // Over TLS the first request may have come with the end of the handshake.
        if (socket->bytesAvailable() > 0)
            readHead();
    }
}

void SampleServer::processNext(QTcpSocket *socket)
{
    for (;;) {
        auto it = m_clients.find(socket);
        if (it == m_clients.end() || it->busy || socket->state() != QAbstractSocket::ConnectedState)
            return;
        Client &client = *it;
        const qsizetype headEnd = client.buffer.indexOf("\r\n\r\n");
        if (headEnd < 0) {
            if (client.buffer.size() > kMaxHeadBytes) {
                client.busy = true;
                send(socket, plain(431, "request head too large\n"), false, false);
            }
            return;
        }
        if (headEnd > kMaxHeadBytes) {
            client.busy = true;
            send(socket, plain(431, "request head too large\n"), false, false);
            return;
        }
        const QList<QByteArray> lines = client.buffer.left(headEnd).split('\n');
        const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
        if (requestLine.size() != 3 || !requestLine[1].startsWith('/')
            || !requestLine[2].startsWith("HTTP/1.")) {
            client.busy = true;
            send(socket, plain(400, "malformed request line\n"), false, false);
            return;
        }
        QByteArray connection;
        qint64 bodyLength = 0;
        bool badHeader = false;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0) {
                badHeader = true;
                break;
            }
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "connection") {
                connection = value.toLower();
            } else if (name == "content-length") {
                bool ok = false;
                bodyLength = value.toLongLong(&ok);
                badHeader = badHeader || !ok || bodyLength < 0;
            } else if (name == "transfer-encoding") {
                client.busy = true;
                send(socket, plain(501, "request bodies are not supported\n"), false, false);
                return;
            }
        }
        if (badHeader) {
            client.busy = true;
            send(socket, plain(400, "malformed header\n"), false, false);
            return;
        }
        if (bodyLength > kMaxRequestBody) {
            client.busy = true;
            send(socket, plain(413, "request body too large\n"), false, false);
            return;
        }
        if (client.buffer.size() < headEnd + 4 + bodyLength)
            return; // the body is still on its way
        client.buffer.remove(0, headEnd + 4 + bodyLength);

        const QByteArray &method = requestLine[0];
        const bool keepAlive
            = requestLine[2] == "HTTP/1.1" ? connection != "close" : connection == "keep-alive";
        Answer answer;
        if (method == "GET" || method == "HEAD") {
            bool counted = false;
            answer = answerRequest(method, requestLine[1], counted, false);
            client.counted = counted;
        } else {
            answer = plain(405, "only GET and HEAD\n");
        }
        if (answer.hang) {
            client.busy = true; // accepted, never answered
            return;
        }
        const bool head = method == "HEAD";
        // A timer per answer: a slow answer holds its own connection only.
        const int delayMs = answer.delayMs >= 0 ? answer.delayMs : m_options.delayMs;
        if (delayMs > 0) {
            client.busy = true;
            QTimer::singleShot(delayMs, socket, [this, socket, answer, head, keepAlive] {
                answered(socket);
                send(socket, answer, head, keepAlive);
                auto later = m_clients.find(socket);
                if (later == m_clients.end() || !keepAlive)
                    return;
                later->busy = false;
                processNext(socket);
            });
            return;
        }
        answered(socket);
        send(socket, answer, head, keepAlive);
        if (!keepAlive) {
            auto again = m_clients.find(socket);
            if (again != m_clients.end())
                again->busy = true;
            return;
        }
    }
}

void SampleServer::answered(QTcpSocket *socket)
{
    auto it = m_clients.find(socket);
    if (it == m_clients.end() || !it->counted)
        return;
    it->counted = false;
    requestAnswered();
}

SampleServer::Answer SampleServer::answerRequest(
    const QByteArray &method, const QByteArray &target, bool &counted, bool http2)
{
    const qint64 requestsBefore = m_requests;
    Answer answer = route(method, target);
    // Requests for /__stats do not count, so they never disturb what they measure.
    counted = m_requests != requestsBefore;
    if (counted) {
        m_peakInFlight = std::max(m_peakInFlight, ++m_inFlight);
        if (http2)
            ++m_streams;
    }
    return answer;
}

void SampleServer::requestAnswered()
{
    --m_inFlight;
}

bool SampleServer::overRateLimit()
{
    if (m_options.rateLimit <= 0)
        return false;
    const qint64 now = m_clock.elapsed();
    while (!m_recentStarts.isEmpty() && m_recentStarts.first() <= now - 1000)
        m_recentStarts.removeFirst();
    if (m_recentStarts.size() >= m_options.rateLimit)
        return true;
    m_recentStarts.append(now);
    return false;
}

SampleServer::Answer SampleServer::tooManyRequests()
{
    ++m_limited;
    Answer answer = plain(429, "too many requests\n");
    QByteArray when = QByteArray::number(m_options.retryAfterSeconds);
    if (m_options.retryAfterDate) {
        // An IMF-fixdate; the C locale's English names are the ones HTTP wants.
        when = QLocale::c()
                   .toString(QDateTime::currentDateTimeUtc().addSecs(m_options.retryAfterSeconds),
                       u"ddd, dd MMM yyyy hh:mm:ss 'GMT'"_s)
                   .toLatin1();
    }
    answer.extraHeaders = "Retry-After: " + when + "\r\n";
    return answer;
}

SampleServer::Answer SampleServer::route(const QByteArray &method, const QByteArray &target)
{
    Q_UNUSED(method);
    const QByteArray rawPath = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
    const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(rawPath));
    if (path == u"/__stats")
        return plain(200, statsLine().toUtf8() + '\n');
    if (path == u"/__reset-peak") {
        // The peak from now on: what a test wants to know about one phase of a run.
        m_peakInFlight = m_inFlight;
        return plain(200, statsLine().toUtf8() + '\n');
    }
    ++m_requests;
    if (path == u"/") {
        Answer answer;
        answer.contentType = "text/html; charset=UTF-8";
        answer.body = IndexPage().toUtf8();
        return answer;
    }
    static const QString quotePrefix = u"/quote/"_s;
    static const QString rankingPrefix = u"/stocks/ranking/"_s;
    if (path.startsWith(quotePrefix)) {
        QString code = path.mid(quotePrefix.size());
        if (code.endsWith(u"/chart")) {
            code.chop(6);
            const std::optional<SampleQuote> quote = QuoteValues(code, static_cast<quint64>(m_requests));
            if (!quote)
                return plain(404, "not found\n");
            return page(u"<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\""_s + m_options.charset
                + u"\"><title>"_s + quote->values[0] + u" チャート</title></head><body><h1>"_s
                + quote->values[0] + u" チャート</h1></body></html>\n"_s);
        }
        return quoteAnswer(code);
    }
    if (path.startsWith(rankingPrefix)) {
        PageOptions options;
        options.padBytes = m_options.padBytes;
        options.charset = m_options.charset;
        const QString text
            = RankingPage(path.mid(rankingPrefix.size()), static_cast<quint64>(m_requests), options);
        return text.isNull() ? plain(404, "not found\n") : page(text);
    }
    return plain(404, "not found\n");
}

SampleServer::Answer SampleServer::quoteAnswer(const QString &code)
{
    const QString base = baseCode(code);
    auto listed = [&](const QSet<QString> &set) { return set.contains(code) || set.contains(base); };
    if (listed(m_options.busyOnce) && !m_busyAnswered.contains(base)) {
        m_busyAnswered.insert(base);
        return tooManyRequests();
    }
    if (overRateLimit())
        return tooManyRequests();
    if (listed(m_options.hang)) {
        Answer answer;
        answer.hang = true;
        return answer;
    }
    if (listed(m_options.fail404))
        return plain(404, "not found\n");
    if (listed(m_options.fail500))
        return plain(500, "internal error\n");
    PageOptions options;
    options.padBytes = m_options.padBytes;
    options.charset = m_options.charset;
    const QString text = QuotePage(code, static_cast<quint64>(m_requests), options);
    Answer answer = text.isNull() ? plain(404, "not found\n") : page(text);
    const auto delay = m_options.codeDelayMs.constFind(base);
    if (delay != m_options.codeDelayMs.constEnd())
        answer.delayMs = *delay;
    return answer;
}

SampleServer::Answer SampleServer::page(const QString &text) const
{
    Answer answer;
    const QByteArray label = m_options.charset.toLatin1();
    answer.contentType = "text/html; charset=" + label;
    // Browsers read a page labelled Shift_JIS as the Windows code page; write it the same way.
    const char *encoder
        = label.compare("Shift_JIS", Qt::CaseInsensitive) == 0 ? "windows-31j" : label.constData();
    answer.body = label == "UTF-8" ? text.toUtf8() : tessera::EncodeText(text, encoder);
    return answer;
}

SampleServer::Answer SampleServer::plain(int status, const QByteArray &text)
{
    Answer answer;
    answer.status = status;
    answer.contentType = "text/plain; charset=UTF-8";
    answer.body = text;
    return answer;
}

void SampleServer::send(QTcpSocket *socket, const Answer &answer, bool head, bool keepAlive)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray out
        = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    out += "Content-Type: " + answer.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    out += "Cache-Control: no-cache\r\n";
    if (answer.status == 405)
        out += "Allow: GET, HEAD\r\n";
    out += answer.extraHeaders;
    out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    if (!head)
        out += answer.body;
    socket->write(out);
    if (!keepAlive)
        socket->disconnectFromHost();
}

} // namespace samplesite
