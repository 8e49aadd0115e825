#include "document/SafeSave.h"

#include <QSaveFile>

bool WriteAll(QIODevice &device, const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

QString DeviceErrorReason(const QIODevice &device)
{
    QString reason = device.errorString();
    if (reason.isEmpty())
        return QStringLiteral("unknown error");
    // System texts start a sentence; here they follow a colon. An initialism stays as it is.
    if (reason.size() > 1 && reason[0].isUpper() && reason[1].isLower())
        reason[0] = reason[0].toLower();
    return reason;
}

tessera::Status SaveFileSafely(const QString &path, const std::function<tessera::Status(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return tessera::Error { SaveErrorOpen,
            QStringLiteral("cannot create %1: %2").arg(path, DeviceErrorReason(file)) };
    }
    const tessera::Status written = write(file);
    if (!written) {
        file.cancelWriting();
        return tessera::Error { written.error().code,
            QStringLiteral("cannot write %1: %2").arg(path, written.error().message) };
    }
    if (!file.commit()) {
        return tessera::Error { SaveErrorCommit,
            QStringLiteral("cannot write %1: %2").arg(path, DeviceErrorReason(file)) };
    }
    return tessera::Ok {};
}
