#include "app/core/DroppedLists.h"

#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/DocumentIo.h"

QStringList LocalFilesOfUrls(const QList<QUrl> &urls)
{
    QStringList files;
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files << url.toLocalFile();
    }
    return files;
}

DroppedList FirstReadableList(
    const QStringList &paths, const ListLoadOptions &options, tessera::ProgressDisplay *display)
{
    DroppedList found;
    for (const QString &path : paths) {
        tessera::ProgressRun run(display, Ids::ProgressReadingFile);
        tessera::Result<LoadedList> read = LoadList(path, options);
        run.finish();
        if (read) {
            found.path = path;
            found.list = std::move(read).value();
            return found;
        }
        if (found.failedPath.isEmpty()) {
            found.failedPath = path;
            found.failure = read.error();
        }
    }
    return found;
}

QString DropFailureText(const DroppedList &dropped)
{
    if (dropped.failedPath.isEmpty())
        return {};
    return OpenErrorText(dropped.failedPath, dropped.failure).split(u'\n', Qt::SkipEmptyParts).join(u' ');
}
