#pragma once

// The error codes of every reader and writer of lists and exports, in one place so that no
// two mean the same number. Each range belongs to one reader or writer; a code travels in
// tessera::Error with a message that names the file and what was wrong.

// 1xx: the list-file reader and writer and their archive (document/BinaryArchive.h,
// document/ListFile.h, document/ListLoader.h). After a known version every byte pattern
// decodes to some value (any length form is accepted, 8-bit text decodes with replacement
// characters), so a list file fails only by its version, by ending early or by a length that
// runs past the end, by its size, or by the device.
enum ListFileError : int {
    ListErrorNone = 0,
    ListErrorBadVersion = 100, // the first u32 is no known list-file version
    ListErrorTruncated = 101, // the data ends inside a field, or a length runs past the end
    ListErrorIo = 103, // the file or device could not be read or written
    ListErrorNewerVersion = 105, // a date-shaped version after the current one
    ListErrorTooLarge = 106, // the file is larger than a list file can reasonably be
    ListErrorTooManyRows = 107, // more rows than a list may have (kMaxListRows), of any kind
    ListErrorNotRegularFile = 108, // a device, a named pipe, a socket or a folder; never read
};

// 2xx: the text-list reader (document/TextList.h).
enum TextListError : int {
    TextListErrorInvalidCode = 200, // a line's code is not a valid code
    TextListErrorLineTooLong = 201, // a line runs past the reading window
};

// 3xx: the CSV and JSON exports (document/ExportText.h).
enum ExportError : int {
    ExportErrorEmpty = 300, // the list has no rows; no file is written
    ExportErrorWrite = 301, // the file could not be created or written
};

// 4xx: saving through a temporary file (document/SafeSave.h); the writer's own errors pass
// through unchanged.
enum SaveError : int {
    SaveErrorOpen = 400, // the temporary file beside the target could not be created
    SaveErrorCommit = 401, // writing out or renaming the temporary file failed
};

// 5xx: the column layout file reader and writer (document/ColumnLayoutFile.h).
enum ColumnLayoutFileError : int {
    ColumnLayoutErrorBadMagic = 500, // the first u32 is no column layout file magic
    ColumnLayoutErrorUnequalLists = 501, // the four lists do not have the same number of entries
    ColumnLayoutErrorRead = 502, // the file ends early, cannot be read, or is far too large
    ColumnLayoutErrorWrite = 503, // the file could not be written
    ColumnLayoutErrorNotRegularFile = 504, // a device, a named pipe, a socket or a folder; never read
};

// 6xx: the workbook writers and readers (document/workbook/).
enum WorkbookError : int {
    WorkbookErrorTooFewColumns = 600, // fewer columns than the sheet layout needs; nothing written
    WorkbookErrorTooManyValues = 601, // a code has more records than a column-wise sheet can take
    WorkbookErrorWrite = 602, // the workbook library could not write the file
    WorkbookErrorNotWorkbook = 603, // neither a ZIP nor an OLE compound file, or parts are missing
    WorkbookErrorDamaged = 604, // the container or a part's XML is damaged
    WorkbookErrorTooLarge = 605, // more cells, strings or bytes than a list can come from
    WorkbookErrorNoValues = 606, // no columns, more than 40 columns, or no data rows
    WorkbookErrorNoCodeColumn = 607, // no header cell names the code column
    WorkbookErrorBadDate = 608, // a date cell before 1970 or outside the calendar
    WorkbookErrorColumnsMissing = 609, // the loader was given no column table for workbooks
    WorkbookErrorStopped = 610, // the user stopped reading or writing; nothing was handed out
    WorkbookErrorReaderMissing = 611, // the helper program that reads .xls workbooks is not found
};
