#pragma once

#include "corelib/Result.h"
#include "document/ListFile.h"
#include "document/workbook/WorkbookImport.h"

#include <QByteArrayView>
#include <QString>

struct ListLoadOptions {
    ListReadOptions listFile; // system colours for the oldest list files
    qint64 updatePeriodSeconds = 0; // rows of a text list start this far in the past
    qint64 now = -1; // current time for text lists; -1 reads the clock
    // Larger files are refused before they are mapped (100,000 rows take about 68 MB).
    qint64 maxFileBytes = qint64(1) << 30;
    // More rows than this are refused (ListErrorTooManyRows, the message names the file).
    qint64 maxRows = kMaxListRows;
    // Workbooks: the column table their header is matched against (required to read one)
    // and the layout whose widths and alignments the matched columns take.
    WorkbookImportOptions workbook;
    WorkbookLimits workbookLimits;
};

// True for ".xls" and ".xlsx" paths, compared case-insensitively.
bool IsWorkbookPath(const QString &path);

// Load's dispatch: a workbook by content (a ZIP or OLE file, whatever its name; a file named
// ".xls" or ".xlsx" that is neither is refused), else a list file when the first u32 is a known
// version, else ListErrorNewerVersion for a date-shaped version after the current one, else
// a text list read from the first byte (LoadedList::version is then 0 and no
// layout is given). A file shorter than 4 bytes is a truncated archive. Only a regular file
// is opened (ListErrorNotRegularFile otherwise, never waiting on a pipe or reading a device). The rows are
// new: on failure nothing is handed out, so the caller's open list is never touched.
tessera::Result<LoadedList> LoadList(const QString &path, const ListLoadOptions &options = {});
// The same over bytes already read; `path` decides the workbook branch and names the file
// in messages.
tessera::Result<LoadedList> LoadList(
    QByteArrayView data, const QString &path, const ListLoadOptions &options = {});

// The check of a dropped file: a list file passes on its version alone, a text list when
// every code in it is valid.
tessera::Status CheckList(const QString &path, const ListLoadOptions &options = {});
