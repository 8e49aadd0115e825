#include "app/core/WorkbookCache.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr int kTitleChars = 60;

// Letters, digits and the harmless marks stay; everything a file system or a shell dislikes
// becomes "_".
QString FileNamePart(const QString &title)
{
    QString part;
    for (const QChar c : title.trimmed()) {
        if (part.size() >= kTitleChars)
            break;
        const bool plain = c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.' || c == u' ';
        part += plain && c.unicode() >= 0x20 ? c : QChar(u'_');
    }
    while (part.startsWith(u'.'))
        part.remove(0, 1);
    part = part.trimmed();
    return part.isEmpty() ? QStringLiteral("Quotra") : part;
}

} // namespace

QString WorkbookCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/workbooks");
}

QString NewCacheWorkbookPath(const QString &folder, const QString &title, const QDateTime &now)
{
    const QString stem = FileNamePart(title) + u'-' + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QDir dir(folder);
    QString path = dir.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(stem + u'-' + QString::number(n) + QStringLiteral(".xlsx"));
    return path;
}

int CleanWorkbookCache(const QString &folder, const QDateTime &now, qint64 maxAgeSeconds)
{
    const QDir dir(folder);
    int removed = 0;
    const QFileInfoList files
        = dir.entryInfoList({ QStringLiteral("*.xlsx") }, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &file : files) {
        if (file.lastModified().secsTo(now) > maxAgeSeconds && QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}
