#include "app/ui/CopyDataServer.h"

#include "app/core/CopyDataProtocol.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QVariant>

namespace {
// A sender that stops half-way is dropped after this long, so that it cannot hold a
// connection (and its buffer) open.
constexpr int kRequestTimeoutMs = 10000;
} // namespace

CopyDataServer::CopyDataServer(AddCodes addCodes, Refused refused, QObject *parent)
    : QObject(parent)
    , m_addCodes(std::move(addCodes))
    , m_refused(std::move(refused))
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CopyDataServer::onNewConnection);
}

CopyDataServer::~CopyDataServer()
{
    m_server->close();
}

bool CopyDataServer::listen()
{
    const QString folder = CopyData::SocketFolder();
    if (folder.isEmpty())
        return false;
    // Sweeping the folder also removes the sockets of windows that ended without closing.
    CopyData::RunningWindowSockets(folder);
    m_path = CopyData::SocketPath(folder, QCoreApplication::applicationPid());
    QLocalServer::removeServer(m_path);
    if (!m_server->listen(m_path)) {
        m_path.clear();
        return false;
    }
    return true;
}

bool CopyDataServer::isListening() const
{
    return m_server->isListening();
}

void CopyDataServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
        m_waiting.emplace_back(socket);
        onReadyRead(socket);
    }
    closeOldestBeyondTheCap();
}

void CopyDataServer::closeOldestBeyondTheCap()
{
    std::erase_if(m_waiting, [](const QPointer<QLocalSocket> &socket) {
        return !socket || socket->property("answered").toBool();
    });
    while (m_waiting.size() > kMaxConnections) {
        QPointer<QLocalSocket> oldest = m_waiting.front();
        m_waiting.pop_front();
        if (oldest)
            oldest->abort();
    }
}

void CopyDataServer::onReadyRead(QLocalSocket *socket)
{
    if (socket->property("answered").toBool() || socket->bytesAvailable() < CopyData::kHeaderBytes)
        return;
    const qint64 size = CopyData::DecodeHeader(socket->peek(CopyData::kHeaderBytes));
    if (!CopyData::AcceptsPayloadSize(size)) {
        // Refused before a byte of it is read or buffered.
        answer(socket, CopyData::kReplyNotHandled);
        return;
    }
    if (socket->bytesAvailable() < CopyData::kHeaderBytes + size)
        return;
    socket->skip(CopyData::kHeaderBytes);
    const QByteArray payload = socket->read(size);
    const QStringList codes = CopyData::ValidCodesOfPayload(payload);
    // Answer first: adding codes may start a fetch, and the sender need not wait for it.
    answer(socket, codes.isEmpty() ? CopyData::kReplyNotHandled : CopyData::kReplyHandled);
    if (!codes.isEmpty()) {
        if (m_addCodes)
            m_addCodes(codes);
    } else if (CopyData::CodesOfPayload(payload) && m_refused) {
        m_refused();
    }
}

void CopyDataServer::answer(QLocalSocket *socket, char reply)
{
    socket->setProperty("answered", true);
    socket->write(&reply, 1);
    socket->flush();
    socket->disconnectFromServer();
}
