#pragma once

#include "corelib/Result.h"
#include "document/ColumnLayout.h"
#include "document/ListLoader.h"
#include "document/RecordMap.h"
#include "document/doc/FileKind.h"

#include <QString>

#include <optional>

class CQuotraDoc;
class TableSource;

// What an open took from the file besides the rows.
struct OpenedList {
    std::optional<ColumnLayout> layout; // the layout the file carried, if any
    quint32 version = 0; // list-file version; 0 for a text list
};

// The text shown when `path` could not be opened: a text list's own message (text 2205 and
// the path) as it is, anything else as text 2205, the path and what was wrong.
QString OpenErrorText(const QString &path, const tessera::Error &error);

// Opens `path` into the document: the list is read whole into fresh rows first, and only then
// replaces the document's rows, path, title, file kind (by extension) and modified flag. On
// failure the document keeps its rows and identity untouched, and the error's message is
// OpenErrorText.
tessera::Result<OpenedList> OpenDocument(
    CQuotraDoc &doc, const QString &path, const ListLoadOptions &options = {});
// The second half of OpenDocument, for a list already read from `path` (a dropped file).
OpenedList InstallList(CQuotraDoc &doc, const QString &path, LoadedList list);

// Writes `rows` to `target` as `kind`: a list file with `layout`, or the CSV, JSON or workbook
// export of `table` (the table as the list shows it; required for those kinds; a workbook's
// sheet is named after `listTitle`). Every format goes through a temporary file that replaces
// the target only when complete. Error messages name the target. A workbook written without
// the links of some rows puts their number in `linksLeftOut` (when given; 0 otherwise): the
// caller tells the user (LinksLeftOutText).
tessera::Status SaveDocumentFile(const QString &target, FileKind kind, const RecordMap &rows,
    const ColumnLayout &layout, const TableSource *table, const QString &listTitle = {},
    int *linksLeftOut = nullptr);

// The notice of a workbook written without the links of `rows` rows (text 2229).
QString LinksLeftOutText(int rows);
