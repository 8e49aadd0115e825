#include "document/SafeSave.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (reason.size() > 1 && reason[0].isUpper() && reason[1].isLower())
        reason[0] = reason[0].toLower();
    return reason;
}

// Flushes a file or folder to the disk; the error number, or 0.
int syncToDisk(const QString &path, bool folder)
{
    const int flags = (folder ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC;
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

// The rename is an entry of the folder: without flushing the folder a crash can still lose
// the new name. The file is in place by then, so a folder that cannot be flushed (some
// file systems refuse it) does not fail the save.
void syncFolderOf(const QString &file)
{
    (void)syncToDisk(QFileInfo(file).absolutePath(), true);
}

} // namespace

QString SaveTargetOf(const QString &path)
{
    QFileInfo info(path);
    // The chain is followed by hand, as the save file does, so that a link to a file yet to
    // be made still names it; a loop leaves the path as it is.
    for (int depth = 0; info.isSymLink(); ++depth) {
        if (depth == 40)
            return path;
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

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
    syncFolderOf(SaveTargetOf(path));
    return tessera::Ok {};
}

tessera::Status SaveNamedFileSafely(
    const QString &path, const std::function<tessera::Status(const QString &tempFile)> &write)
{
    const QFileInfo target(SaveTargetOf(path));
    QTemporaryFile temp(
        target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        return tessera::Error { SaveErrorOpen,
            QStringLiteral("cannot create %1: %2").arg(path, temp.errorString()) };
    }
    const QString tempName = temp.fileName();
    temp.close();
    // The new file keeps the permissions of the one it replaces, else the usual ones.
    const QFileDevice::Permissions permissions = target.exists()
        ? QFile::permissions(target.filePath())
        : (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
            | QFileDevice::ReadOther);

    const tessera::Status written = write(tempName);
    if (!written) {
        QFile::remove(tempName);
        return tessera::Error { written.error().code,
            QStringLiteral("cannot write %1: %2").arg(path, written.error().message) };
    }
    QFile::setPermissions(tempName, permissions);
    int error = syncToDisk(tempName, false);
    if (error == 0
        && std::rename(
               QFile::encodeName(tempName).constData(), QFile::encodeName(target.filePath()).constData())
            != 0)
        error = errno;
    if (error != 0) {
        QFile::remove(tempName);
        return tessera::Error { SaveErrorCommit,
            QStringLiteral("cannot write %1: %2").arg(path, systemReason(error)) };
    }
    syncFolderOf(target.filePath());
    return tessera::Ok {};
}
