#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <cstdint>

class QTcpSocket;
struct nghttp2_session;

namespace samplesite {

class SampleServer;

// One HTTP/2 connection of the sample site (TLS with ALPN "h2"). nghttp2 does the framing,
// flow control and stream bookkeeping; this class feeds it the socket's bytes, answers each
// request stream through the server's routing, and writes out what nghttp2 queues. Every
// stream's answer waits on its own timer, so a slow or hanging stream holds up no other.
class Http2Session : public QObject {
    Q_OBJECT
public:
    // Takes over `socket` (already encrypted, "h2" negotiated); deletes itself when it closes.
    Http2Session(QTcpSocket *socket, SampleServer *server);
    ~Http2Session() override;

    // False when nghttp2 could not be set up; the socket is then closed.
    bool ok() const { return m_session != nullptr; }

private:
    struct Stream {
        QByteArray method;
        QByteArray path;
        QByteArray body; // the answer's body while it is sent
        qsizetype sent = 0;
        bool counted = false; // in flight at the server until answered or reset
        bool answered = false;
    };

    void onReadyRead();
    void flush(); // writes whatever nghttp2 has queued; closes when neither side wants more
    void close();
    void requestComplete(int32_t streamId);
    void respond(int32_t streamId, int status, const QByteArray &contentType, const QByteArray &body,
        const QByteArray &extraHeaders, bool head);
    void release(Stream &stream);

    // nghttp2's callbacks, given this object as user data.
    static int onBeginHeaders(nghttp2_session *, const void *frame, void *user);
    static int onHeader(nghttp2_session *, const void *frame, const uint8_t *name, size_t nameLength,
        const uint8_t *value, size_t valueLength, uint8_t flags, void *user);
    static int onFrameReceived(nghttp2_session *, const void *frame, void *user);
    static int onStreamClosed(nghttp2_session *, int32_t streamId, uint32_t errorCode, void *user);
    static long readBody(nghttp2_session *, int32_t streamId, uint8_t *buffer, size_t length, uint32_t *flags,
        void *source, void *user);

    QTcpSocket *m_socket;
    SampleServer *m_server;
    nghttp2_session *m_session = nullptr;
    QHash<int32_t, Stream> m_streams;
    bool m_closed = false;
};

} // namespace samplesite
