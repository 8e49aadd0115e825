#include "history/HistoryLocation.h"

#include <QDir>
#include <QStandardPaths>

QString HistoryFilePath(const QString &settingsFile)
{
    const QString fromEnvironment = qEnvironmentVariable("QUOTRA_HISTORY");
    if (!fromEnvironment.isEmpty())
        return QDir::cleanPath(QDir::current().absoluteFilePath(fromEnvironment));
    if (!settingsFile.isEmpty())
        return QDir::cleanPath(QDir::current().absoluteFilePath(settingsFile));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/Kestrel/Quotra/history.sqlite");
}
