#include "history/HistoryImport.h"

#include "history/HistoryStore.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

QStringList HistoryImportFiles(const QStringList &paths)
{
    static const QStringList kListPatterns { QStringLiteral("*.kabu"), QStringLiteral("*.csv"),
        QStringLiteral("*.txt"), QStringLiteral("*.xlsx"), QStringLiteral("*.xls") };
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        const QDir dir(path);
        for (const QString &name :
            dir.entryList(kListPatterns, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase))
            files << dir.filePath(name);
    }
    return files;
}

tessera::Result<ImportedList> ImportListIntoHistory(
    HistoryStore &store, const QString &path, const ListLoadOptions &options)
{
    tessera::Result<LoadedList> loaded = LoadList(path, options);
    if (!loaded)
        return loaded.error();
    std::vector<HistoryPoint> points;
    points.reserve(loaded->rows.size());
    for (const auto &[code, record] : loaded->rows) {
        if (std::optional<HistoryPoint> p = PointOfRecord(*record))
            points.push_back(std::move(*p));
    }
    const tessera::Result<qint64> added = store.store(points);
    if (!added)
        return added.error();
    ImportedList result;
    result.points = static_cast<qsizetype>(points.size());
    result.added = *added;
    return result;
}
