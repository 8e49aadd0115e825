#include "corelib/AppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessera {

QString GetAppFolder(const QString &subfolder)
{
    // GenericDataLocation is the data home shared by all programs; the maker's folder sits
    // directly below it, as the platform's local application-data folder would hold it.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    // A subfolder that climbs out of the maker's folder is refused rather than created.
    const QString maker = QDir::cleanPath(base + QLatin1String("/Kestrel"));
    const QString path = subfolder.isEmpty() ? maker : QDir::cleanPath(maker + QLatin1Char('/') + subfolder);
    if (path != maker && !path.startsWith(maker + QLatin1Char('/')))
        return {};
    if (!QDir().mkpath(path))
        return {};
    const QFileInfo info(path);
    if (!info.isDir() || !info.isWritable())
        return {};
    return info.absoluteFilePath();
}

} // namespace tessera
