#include "document/SafeSave.h"

#include <QSaveFile>

tessera::Status SaveFileSafely(const QString &path, const std::function<tessera::Status(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return tessera::Error { SaveErrorOpen,
            QStringLiteral("cannot create %1: %2").arg(path, file.errorString()) };
    }
    tessera::Status written = write(file);
    if (!written) {
        file.cancelWriting();
        return written;
    }
    if (!file.commit()) {
        return tessera::Error { SaveErrorCommit,
            QStringLiteral("cannot write %1: %2").arg(path, file.errorString()) };
    }
    return tessera::Ok {};
}
