#include "Http2Session.h"

#include "SampleServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <nghttp2/nghttp2.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace samplesite {

namespace {

// A client may open this many streams at once; browsers and libcurl stay far below it.
constexpr uint32_t kMaxConcurrentStreams = 100;
// Bytes written ahead of the peer: past this the session waits for the socket to drain.
constexpr qint64 kMaxUnwritten = 4 * 1024 * 1024;

nghttp2_nv header(const QByteArray &name, const QByteArray &value)
{
    return nghttp2_nv { reinterpret_cast<uint8_t *>(const_cast<char *>(name.constData())),
        reinterpret_cast<uint8_t *>(const_cast<char *>(value.constData())), static_cast<size_t>(name.size()),
        static_cast<size_t>(value.size()), NGHTTP2_NV_FLAG_NONE };
}

} // namespace

Http2Session::Http2Session(QTcpSocket *socket, SampleServer *server)
    : QObject(server)
    , m_socket(socket)
    , m_server(server)
{
    nghttp2_session_callbacks *callbacks = nullptr;
    if (nghttp2_session_callbacks_new(&callbacks) != 0) {
        close();
        return;
    }
    nghttp2_session_callbacks_set_on_begin_headers_callback(callbacks,
        [](nghttp2_session *s, const nghttp2_frame *f, void *u) { return onBeginHeaders(s, f, u); });
    nghttp2_session_callbacks_set_on_header_callback(callbacks,
        [](nghttp2_session *s, const nghttp2_frame *f, const uint8_t *n, size_t nl, const uint8_t *v,
            size_t vl, uint8_t flags, void *u) { return onHeader(s, f, n, nl, v, vl, flags, u); });
    nghttp2_session_callbacks_set_on_frame_recv_callback(callbacks,
        [](nghttp2_session *s, const nghttp2_frame *f, void *u) { return onFrameReceived(s, f, u); });
    nghttp2_session_callbacks_set_on_stream_close_callback(callbacks, onStreamClosed);
    const int created = nghttp2_session_server_new(&m_session, callbacks, this);
    nghttp2_session_callbacks_del(callbacks);
    if (created != 0) {
        m_session = nullptr;
        close();
        return;
    }
    const nghttp2_settings_entry settings[] = {
        { NGHTTP2_SETTINGS_MAX_CONCURRENT_STREAMS, kMaxConcurrentStreams },
    };
    nghttp2_submit_settings(m_session, NGHTTP2_FLAG_NONE, settings, 1);

    connect(m_socket, &QTcpSocket::readyRead, this, &Http2Session::onReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &Http2Session::flush);
    // Queued: the socket may report its end while one of our own calls still uses it.
    connect(m_socket, &QTcpSocket::disconnected, this, &Http2Session::close, Qt::QueuedConnection);
    flush();
    // The client's preface may have come with the end of the handshake.
    if (m_socket->bytesAvailable() > 0)
        onReadyRead();
}

Http2Session::~Http2Session()
{
    // Streams still open were released by close(); a session destroyed with the server
    // has no counts left to keep.
    if (m_session)
        nghttp2_session_del(m_session);
}

void Http2Session::release(Stream &stream)
{
    if (stream.counted && !stream.answered)
        m_server->requestAnswered();
    stream.answered = true;
}

void Http2Session::close()
{
    if (m_closed)
        return;
    m_closed = true;
    for (Stream &stream : m_streams)
        release(stream);
    m_socket->disconnect(this);
    // Later, not now: this may run inside the socket's own readyRead, and a TLS socket closed
    // there crashes in its backend once the signal returns. Closing (not aborting) still
    // sends the GOAWAY nghttp2 queued.
    QTimer::singleShot(0, m_socket, [socket = m_socket] {
        if (socket->state() == QAbstractSocket::UnconnectedState) {
            socket->deleteLater();
            return;
        }
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
    });
    deleteLater();
}

void Http2Session::onReadyRead()
{
    if (m_closed)
        return;
    const QByteArray data = m_socket->readAll();
    const auto used = nghttp2_session_mem_recv(
        m_session, reinterpret_cast<const uint8_t *>(data.constData()), static_cast<size_t>(data.size()));
    if (used < 0) {
        // A broken frame or a protocol error: nghttp2 has queued GOAWAY where it could.
        flush();
        close();
        return;
    }
    flush();
}

void Http2Session::flush()
{
    if (m_closed)
        return;
    while (m_socket->bytesToWrite() < kMaxUnwritten) {
        const uint8_t *data = nullptr;
        const auto size = nghttp2_session_mem_send(m_session, &data);
        if (size < 0) {
            close();
            return;
        }
        if (size == 0)
            break;
        m_socket->write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    if (!nghttp2_session_want_read(m_session) && !nghttp2_session_want_write(m_session)
        && m_socket->bytesToWrite() == 0)
        close();
}

int Http2Session::onBeginHeaders(nghttp2_session *, const void *frameData, void *user)
{
    const auto *frame = static_cast<const nghttp2_frame *>(frameData);
    auto *self = static_cast<Http2Session *>(user);
    if (frame->hd.type == NGHTTP2_HEADERS && frame->headers.cat == NGHTTP2_HCAT_REQUEST)
        self->m_streams.insert(frame->hd.stream_id, Stream {});
    return 0;
}

int Http2Session::onHeader(nghttp2_session *, const void *frameData, const uint8_t *name, size_t nameLength,
    const uint8_t *value, size_t valueLength, uint8_t, void *user)
{
    const auto *frame = static_cast<const nghttp2_frame *>(frameData);
    auto *self = static_cast<Http2Session *>(user);
    auto it = self->m_streams.find(frame->hd.stream_id);
    if (it == self->m_streams.end())
        return 0;
    const QByteArray key(reinterpret_cast<const char *>(name), static_cast<qsizetype>(nameLength));
    const QByteArray text(reinterpret_cast<const char *>(value), static_cast<qsizetype>(valueLength));
    if (key == ":method")
        it->method = text;
    else if (key == ":path")
        it->path = text;
    return 0;
}

int Http2Session::onFrameReceived(nghttp2_session *, const void *frameData, void *user)
{
    const auto *frame = static_cast<const nghttp2_frame *>(frameData);
    auto *self = static_cast<Http2Session *>(user);
    const bool ends = (frame->hd.flags & NGHTTP2_FLAG_END_STREAM) != 0;
    if ((frame->hd.type == NGHTTP2_HEADERS || frame->hd.type == NGHTTP2_DATA) && ends
        && self->m_streams.contains(frame->hd.stream_id))
        self->requestComplete(frame->hd.stream_id);
    return 0;
}

int Http2Session::onStreamClosed(nghttp2_session *, int32_t streamId, uint32_t, void *user)
{
    auto *self = static_cast<Http2Session *>(user);
    auto it = self->m_streams.find(streamId);
    if (it != self->m_streams.end()) {
        // A stream the client reset before its answer (a time-out, a stop) is no longer in flight.
        self->release(*it);
        self->m_streams.erase(it);
    }
    return 0;
}

long Http2Session::readBody(
    nghttp2_session *, int32_t streamId, uint8_t *buffer, size_t length, uint32_t *flags, void *, void *user)
{
    auto *self = static_cast<Http2Session *>(user);
    auto it = self->m_streams.find(streamId);
    if (it == self->m_streams.end())
        return NGHTTP2_ERR_TEMPORAL_CALLBACK_FAILURE;
    const qsizetype left = it->body.size() - it->sent;
    const qsizetype count = std::min<qsizetype>(left, static_cast<qsizetype>(length));
    std::memcpy(buffer, it->body.constData() + it->sent, static_cast<size_t>(count));
    it->sent += count;
    if (it->sent >= it->body.size()) {
        *flags |= NGHTTP2_DATA_FLAG_EOF;
        it->body = QByteArray();
        it->sent = 0;
    }
    return static_cast<long>(count);
}

void Http2Session::requestComplete(int32_t streamId)
{
    Stream &stream = m_streams[streamId];
    const bool head = stream.method == "HEAD";
    if (stream.path.isEmpty() || !stream.path.startsWith('/')) {
        respond(streamId, 400, "text/plain; charset=UTF-8", "malformed request\n", {}, head);
        return;
    }
    if (stream.method != "GET" && !head) {
        respond(
            streamId, 405, "text/plain; charset=UTF-8", "only GET and HEAD\n", "Allow: GET, HEAD\r\n", false);
        return;
    }
    bool counted = false;
    const SampleServer::Answer answer = m_server->answerRequest(stream.method, stream.path, counted, true);
    stream.counted = counted;
    if (answer.hang)
        return; // accepted, never answered; the client's reset ends it
    const int delayMs = answer.delayMs >= 0 ? answer.delayMs : m_server->defaultDelayMs();
    auto send = [this, streamId, answer, head] {
        auto it = m_streams.find(streamId);
        if (m_closed || it == m_streams.end())
            return; // reset or gone while its answer waited
        release(*it);
        respond(streamId, answer.status, answer.contentType, answer.body, answer.extraHeaders, head);
    };
    if (delayMs > 0)
        QTimer::singleShot(delayMs, this, send);
    else
        send();
}

void Http2Session::respond(int32_t streamId, int status, const QByteArray &contentType,
    const QByteArray &body, const QByteArray &extraHeaders, bool head)
{
    auto it = m_streams.find(streamId);
    if (it == m_streams.end())
        return;
    it->answered = true;
    // nghttp2 copies the names and values; these only need to live through the submit call.
    std::vector<QByteArray> storage { ":status", QByteArray::number(status), "content-type", contentType,
        "content-length", QByteArray::number(body.size()), "cache-control", "no-cache" };
    for (const QByteArray &line : extraHeaders.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        storage.push_back(line.left(colon).trimmed().toLower());
        storage.push_back(line.mid(colon + 1).trimmed());
    }
    std::vector<nghttp2_nv> headers;
    for (size_t i = 0; i + 1 < storage.size(); i += 2)
        headers.push_back(header(storage[i], storage[i + 1]));
    nghttp2_data_provider provider {};
    const bool withBody = !head && !body.isEmpty();
    if (withBody) {
        it->body = body;
        it->sent = 0;
        provider.read_callback
            = [](nghttp2_session *s, int32_t id, uint8_t *b, size_t l, uint32_t *f, nghttp2_data_source *src,
                  void *u) -> ssize_t { return readBody(s, id, b, l, f, src, u); };
    }
    if (nghttp2_submit_response(
            m_session, streamId, headers.data(), headers.size(), withBody ? &provider : nullptr)
        != 0) {
        nghttp2_submit_rst_stream(m_session, NGHTTP2_FLAG_NONE, streamId, NGHTTP2_INTERNAL_ERROR);
    }
    flush();
}

} // namespace samplesite
