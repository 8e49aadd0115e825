#pragma once

#include "document/ListLoader.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tessera {
class ProgressDisplay;
}

// The local files among dropped addresses, in their order; other addresses are left out.
QStringList LocalFilesOfUrls(const QList<QUrl> &urls);

// The first of `paths` that reads as a list, each tried in order under a progress run of its
// own on `display` (which may be null); empty when none does. Files that fail are passed
// over without a message.
QString FirstReadableList(
    const QStringList &paths, const ListLoadOptions &options, tessera::ProgressDisplay *display);
