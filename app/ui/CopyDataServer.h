#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <deque>
#include <functional>

class QLocalServer;
class QLocalSocket;

// The window's end of the "StockCode:" message: a local socket named after the process,
// readable by the user alone. Each connection carries one request; the valid codes after the
// prefix go to `addCodes` and the message is answered as handled. A message with the prefix
// but no valid code is answered as not handled and goes to `refused`. Neither may open a
// dialog: another program must not be able to pile up boxes in the window.
//
// At most kMaxConnections connections are served at once; a new one beyond them closes the
// oldest that is still waiting for its request.
class CopyDataServer : public QObject {
    Q_OBJECT
public:
    static constexpr size_t kMaxConnections = 16;
    using AddCodes = std::function<void(const QStringList &codes)>;
    using Refused = std::function<void()>;
    CopyDataServer(AddCodes addCodes, Refused refused = {}, QObject *parent = nullptr);
    ~CopyDataServer() override;

    // Starts listening; false when there is no usable socket folder or the socket cannot
    // be made. A leftover socket of this process id (an ended process that had the same
    // number) is replaced.
    bool listen();
    QString socketPath() const { return m_path; }
    bool isListening() const;

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);
    void answer(QLocalSocket *socket, char reply);
    void closeOldestBeyondTheCap();

    AddCodes m_addCodes;
    Refused m_refused;
    std::deque<QPointer<QLocalSocket>> m_waiting; // not yet answered, oldest first
    QLocalServer *m_server;
    QString m_path;
};
