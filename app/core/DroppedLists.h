#pragma once

#include "document/ListLoader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace tessera {
class ProgressDisplay;
}

// The local files among dropped addresses, in their order; other addresses are left out.
QStringList LocalFilesOfUrls(const QList<QUrl> &urls);

// What a drop found: the first file that reads as a list, read whole once so that opening
// it does not read it again, or why the first dropped file could not be read.
struct DroppedList {
    QString path; // empty when no file read as a list
    std::optional<LoadedList> list;
    QString failedPath; // the first file that failed, and its error
    tessera::Error failure;
};

// Reads `paths` in order, each under a progress run of its own on `display` (which may be
// null), until one reads as a list; the files after it are not touched.
DroppedList FirstReadableList(
    const QStringList &paths, const ListLoadOptions &options, tessera::ProgressDisplay *display);

// Why a drop opened nothing, on one line for the status bar: the first failed file and its
// error, as an open of it would have reported them. Empty when nothing failed.
QString DropFailureText(const DroppedList &dropped);
