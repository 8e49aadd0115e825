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

CopyDataServer::CopyDataServer(AddCodes addCodes, QObject *parent)
    : QObject(parent)
    , m_addCodes(std::move(addCodes))
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
        onReadyRead(socket);
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
    const std::optional<QString> codes = CopyData::CodesOfPayload(payload);
    // Answer first: adding codes may start a fetch, and the sender need not wait for it.
    answer(socket, codes ? CopyData::kReplyHandled : CopyData::kReplyNotHandled);
    if (codes && m_addCodes)
        m_addCodes(*codes);
}

void CopyDataServer::answer(QLocalSocket *socket, char reply)
{
    socket->setProperty("answered", true);
    socket->write(&reply, 1);
    socket->flush();
    socket->disconnectFromServer();
}
