#pragma once

#include "corelib/Result.h"
#include "document/ExportText.h" // ExportProgress

#include <QString>

#include <functional>

class TableSource;

struct WorkbookExportOptions {
    QString sheetTitle; // the list's title; made a valid sheet name
    ExportProgress progress; // after each row
    // Told once when rows beyond a sheet's 65,530 hyperlinks were written without one,
    // with the number of rows left without a link.
    std::function<void(int unlinkedRows)> linksDropped;
};

// The table export: one sheet named after the title; row 1 the column captions, then one
// row per table row with each column's cell (WorkbookCellText of the row's record, not the
// display text) as text for the text fields (IsTextField) and as typed for the others and a hyperlink to the
// row's quote page on the name column (on the first column without one); every column with the list column's
// alignment, its field's number format and a width fitted to its texts. Fewer than 3 columns fail with
// WorkbookErrorTooFewColumns (text 2228) and nothing is written. The file is replaced only
// when complete.
tessera::Status ExportWorkbook(
    const QString &path, const TableSource &table, const WorkbookExportOptions &options = {});
// The same into an open book's new sheet, for tests and the "show" command's temporary file:
// writes `file` directly.
tessera::Status WriteWorkbookFile(
    const QString &file, const TableSource &table, const WorkbookExportOptions &options = {});
