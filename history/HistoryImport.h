#pragma once

#include "corelib/Result.h"
#include "document/ListLoader.h"

#include <QString>
#include <QStringList>

class HistoryStore;

// The files an import of `paths` reads, in order: a file as it is named; for a folder, the
// list files and workbooks in it (".kabu", ".csv", ".txt", ".xlsx", ".xls"; not its
// sub-folders), by name, as the unattended run leaves its time-stamped saves there.
QStringList HistoryImportFiles(const QStringList &paths);

struct ImportedList {
    qint64 points = 0; // rows that hold a fetched quote
    qint64 added = 0; // of those, the points the history did not have yet
};

// Reads one saved list as the program opens it and stores each row's values under the row's
// update time, in one transaction. Rows without a fetched price (never updated, or a text
// list) give no point; a code and a time already stored are kept, so importing the same
// file again adds nothing.
tessera::Result<ImportedList> ImportListIntoHistory(
    HistoryStore &store, const QString &path, const ListLoadOptions &options);
