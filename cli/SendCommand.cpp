#include "app/core/CopyDataProtocol.h"
#include "cli/Arguments.h"
#include "cli/Command.h"

#include <QFile>
#include <QLocalSocket>

namespace {

constexpr int kConnectTimeoutMs = 3000;
constexpr int kAnswerTimeoutMs = 10000;
// Exit status when no window could be reached.
constexpr int kExitNoWindow = 2;

enum class Delivery { Handled, NotHandled, Refused, Unreachable };

Delivery deliver(const QString &path, const QByteArray &request)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        const QLocalSocket::LocalSocketError error = socket.error();
        return error == QLocalSocket::ConnectionRefusedError ? Delivery::Refused : Delivery::Unreachable;
    }
    socket.write(request);
    // The window may answer before it has read everything (a refused size), so the
    // answer is awaited whether or not the writing finished.
    while (socket.bytesToWrite() > 0 && socket.state() == QLocalSocket::ConnectedState) {
        if (!socket.waitForBytesWritten(kAnswerTimeoutMs))
            break;
    }
    if (socket.bytesAvailable() < 1)
        socket.waitForReadyRead(kAnswerTimeoutMs);
    char reply = CopyData::kReplyNotHandled;
    if (socket.read(&reply, 1) != 1)
        return Delivery::NotHandled;
    return reply == CopyData::kReplyHandled ? Delivery::Handled : Delivery::NotHandled;
}

const CliCommand &self()
{
    return *FindCommand(u"send");
}

} // namespace

int RunSendCommand(const QStringList &arguments)
{
    const ParsedArguments parsed = ParseArguments(arguments, { { QStringLiteral("pid"), true } });
    if (!parsed.ok())
        return UsageError(self(), parsed.error);
    if (parsed.positional.size() != 1)
        return UsageError(self(), QStringLiteral("give the text to send as one argument"));
    qint64 pid = 0;
    if (parsed.isSet(QStringLiteral("pid"))) {
        bool ok = false;
        pid = parsed.value(QStringLiteral("pid")).toLongLong(&ok);
        if (!ok || pid <= 0)
            return UsageError(self(), QStringLiteral("--pid takes a process id"));
    }

    const QString folder = CopyData::SocketFolder();
    if (folder.isEmpty()) {
        PrintError(QStringLiteral("quotra-cli: no usable runtime folder for window sockets\n"));
        return kExitNoWindow;
    }
    QList<CopyData::SocketEntry> targets = CopyData::RunningWindowSockets(folder);
    if (pid > 0) {
        targets.removeIf([pid](const CopyData::SocketEntry &e) { return e.pid != pid; });
    }
    const QByteArray request = CopyData::EncodeRequest(CopyData::EncodeText(parsed.positional.front()));
    for (const CopyData::SocketEntry &target : std::as_const(targets)) {
        switch (deliver(target.path, request)) {
        case Delivery::Handled:
            return kExitOk;
        case Delivery::NotHandled:
            PrintError(QStringLiteral("quotra-cli: not handled\n"));
            return kExitFailed;
        case Delivery::Refused:
            // A socket nobody listens on any more (the number now belongs to another
            // program): it goes, and the next most recent window is tried.
            QFile::remove(target.path);
            break;
        case Delivery::Unreachable:
            break;
        }
    }
    PrintError(pid > 0 ? QStringLiteral("quotra-cli: no window of process %1\n").arg(pid)
                       : QStringLiteral("quotra-cli: no running window\n"));
    return kExitNoWindow;
}
