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

QStringList ProgramFolders()
{
    QStringList programs;
    if (QCoreApplication::instance())
        addFolder(programs, QCoreApplication::applicationDirPath());
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        addFolder(programs, QFileInfo(self.canonicalFilePath()).absolutePath());
    return programs;
}

QStringList FoldersBesideProgram(const QString &relative, const QString &installed)
{
    const QStringList programs = ProgramFolders();
    QStringList folders;
    for (const QString &p : programs)
        addFolder(folders, p);
    for (const QString &p : programs)
        addFolder(folders, p + u'/' + relative);
    addFolder(folders, installed);
    return folders;
}

QStringList DataFolders()
{
    return FoldersBesideProgram(QStringLiteral("../share/quotra"), QStringLiteral(QUOTRA_INSTALL_DATADIR));
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
