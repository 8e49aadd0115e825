#pragma once

#include "corelib/Result.h"
#include "document/ColumnLayout.h"
#include "document/ListFile.h" // LoadedList
#include "document/workbook/WorkbookGrid.h"

#include <QString>

#include <array>
#include <optional>

// What the import knows of the list's columns, by field number 1..39 (entry 0 unused): the
// caption a header cell must equal, where a column's values go (the column table's import
// slot: a value slot 0..30, -1 the code, -2 the update time, 31..35 purchase day, amount,
// shares, profit and memo), and the column's default width and alignment. The table rules
// fill it, so this layer needs no view.
struct WorkbookColumn {
    QString title;
    int importSlot = 0;
    int width = 80;
    int align = 0;
};
using WorkbookColumnTable = std::array<WorkbookColumn, 40>;

struct WorkbookImportOptions {
    const WorkbookColumnTable *columns = nullptr;
    // The list's current layout: a matched column takes the width and alignment of the list
    // column showing the same field, else the defaults.
    std::optional<ColumnLayout> currentLayout;
};

// The rows of a sheet as a list. The first row with a cell equal (exactly, case-sensitively)
// to a column caption is the header; each matching cell maps its sheet column to that field
// and becomes a list column of the rebuilt layout, in the order found. Every row below it is
// a record: codes from texts as they are and from numbers without decimals; value slots take
// texts unchanged, numbers in a percent format as the percent text with two decimals and
// other numbers as grouped numbers (both with the column's "+" rule); update time and
// purchase day from date numbers (local time, to the minute of the time rounded to the
// second); the memo from a text, or from a number or date as the cell shows it; any
// holdings cell sets has_holdings. Rows without a code are left
// out, and a code met again keeps its first row. Failures: no columns or no data rows
// WorkbookErrorNoValues (text 2205), no code column WorkbookErrorNoCodeColumn (text 2224),
// a date before 1970 or outside the calendar WorkbookErrorBadDate (the cell named); nothing
// is handed out then.
tessera::Result<LoadedList> ImportWorkbookGrid(
    const WorkbookGrid &grid, const WorkbookImportOptions &options);
