#include "app/core/DroppedLists.h"

#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"

QStringList LocalFilesOfUrls(const QList<QUrl> &urls)
{
    QStringList files;
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url.toLocalFile();
    }
    return files;
}

QString FirstReadableList(
    const QStringList &paths, const ListLoadOptions &options, tessera::ProgressDisplay *display)
{
    for (const QString &path : paths) {
        tessera::ProgressRun run(display, Ids::ProgressReadingFile);
        const tessera::Status read = CheckList(path, options);
        run.finish();
        if (read)
            return path;
    }
    return {};
}
