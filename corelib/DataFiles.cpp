#include "corelib/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tessera {

namespace {

void addFolder(QStringList &folders, const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QString clean = QDir::cleanPath(folder);
    if (!folders.contains(clean))
        folders << clean;
}

} // namespace

QStringList DataFolders()
{
    QStringList programs;
    if (QCoreApplication::instance())
        addFolder(programs, QCoreApplication::applicationDirPath());
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        addFolder(programs, QFileInfo(self.canonicalFilePath()).absolutePath());
    QStringList folders;
    for (const QString &p : std::as_const(programs))
        addFolder(folders, p);
    for (const QString &p : std::as_const(programs))
        addFolder(folders, p + QStringLiteral("/../share/quotra"));
    addFolder(folders, QStringLiteral(QUOTRA_INSTALL_DATADIR));
    return folders;
}

QString FindDataFile(const QString &name)
{
    for (const QString &folder : DataFolders()) {
        QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace tessera
