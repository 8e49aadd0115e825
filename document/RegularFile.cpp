#include "document/RegularFile.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

tessera::Error notRegular(int code, const QString &path)
{
    return tessera::Error { code, NotRegularFileText(path) };
}

tessera::Error cannotOpen(int code, const QString &path, int error)
{
    return tessera::Error { code, QStringLiteral("cannot open %1: %2").arg(path, qt_error_string(error)) };
}

} // namespace

QString NotRegularFileText(const QString &path)
{
    return tessera::FormatResourceString(Ids::MsgNotRegularFile, { QFileInfo(path).absoluteFilePath() });
}

tessera::Status OpenRegularFileForReading(QFile &file, int notRegularCode, int ioCode)
{
    const QString path = file.fileName();
    const QByteArray native = QFile::encodeName(path);
    // By name first, so that a device is never opened at all; then by the open descriptor,
    // in case the name was swapped in between.
    struct stat named { };
    if (::stat(native.constData(), &named) != 0)
        return cannotOpen(ioCode, path, errno);
    if (!S_ISREG(named.st_mode))
        return notRegular(notRegularCode, path);
    // Non-blocking, so that a named pipe put in its place cannot hold the open.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return cannotOpen(ioCode, path, errno);
    struct stat opened { };
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return notRegular(notRegularCode, path);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return tessera::Error { ioCode, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()) };
    }
    return tessera::Ok {};
}
