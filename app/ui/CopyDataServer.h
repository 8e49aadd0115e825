#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

#include <functional>

class QLocalServer;
class QLocalSocket;

// The window's end of the "StockCode:" message: a local socket named after the process,
// readable by the user alone. Each connection carries one request; the codes after the
// prefix go to `addCodes` and the sender learns whether the message was handled.
class CopyDataServer : public QObject {
    Q_OBJECT
public:
    using AddCodes = std::function<void(const QString &codes)>;
    CopyDataServer(AddCodes addCodes, QObject *parent = nullptr);
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

    AddCodes m_addCodes;
    QLocalServer *m_server;
    QString m_path;
};
