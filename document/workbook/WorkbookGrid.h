#pragma once

#include "corelib/Result.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

// One cell as a spreadsheet hands its values over: a number (dates are numbers too), a
// text, or nothing (empty cells, errors, booleans and anything else).
struct WorkbookValue {
    enum Kind : unsigned char { Empty, Number, Text };
    Kind kind = Empty;
    quint32 style = 0; // the cell's style: an index into WorkbookGrid::formats
    double number = 0;
    QString text;
};

// The used range of the active sheet: the box around its non-empty cells, row by row.
struct WorkbookGrid {
    int rows = 0;
    int columns = 0;
    std::vector<WorkbookValue> cells; // rows x columns
    bool date1904 = false; // the workbook counts days from 1904
    // The number format code of each cell style ("0.00%", "yyyy/m/d"; built-in formats by
    // their usual codes); empty for the general format. Empty when the file names none.
    std::vector<QString> formats;

    const WorkbookValue &at(int row, int column) const
    {
        return cells[static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column)];
    }
    // The number format of a cell; empty for the general format.
    QStringView formatOf(const WorkbookValue &value) const
    {
        return value.style < formats.size() ? QStringView(formats[value.style]) : QStringView();
    }
};

// What a reader accepts before it gives up on a file, checked before anything is allocated
// for it: far beyond any list, far below what would exhaust memory.
struct WorkbookLimits {
    qint64 maxPartBytes = qint64(1) << 30; // uncompressed bytes of one XML part
    // A part beyond `freelyUnpackedBytes` may unpack to at most `maxPackingRatio` times its
    // packed size: real sheets pack some ten to one, a ZIP bomb thousands to one.
    qint64 maxPackingRatio = 200;
    qint64 freelyUnpackedBytes = qint64(4) << 20;
    qint64 maxCells = 8'000'000; // non-empty cells of the sheet
    qint64 maxSharedStrings = 4'000'000;
    qint64 maxTextUnits = 128'000'000; // UTF-16 units of all texts together
    int maxColumns = 40; // a wider used range is refused before the grid is built
    int xlsReaderMilliseconds = 20'000; // the .xls reader program is killed after this long
};

enum class WorkbookFormat { None, Xlsx, Xls };

// The container by its first bytes: a ZIP archive is an .xlsx workbook, an OLE compound file
// an .xls workbook, whatever the file's name says.
WorkbookFormat DetectWorkbookFormat(QByteArrayView head);

// Reads the active sheet of a workbook of either format. A used range wider than
// `limits.maxColumns` fails with WorkbookErrorNoValues. Messages say what was wrong; the
// caller adds the file's name.
tessera::Result<WorkbookGrid> ReadWorkbookGrid(
    QByteArrayView data, const QString &path, const WorkbookLimits &limits = {});
// .xlsx from bytes in memory.
tessera::Result<WorkbookGrid> ReadXlsxGrid(QByteArrayView data, const WorkbookLimits &limits = {});
// .xls from a file (the library reads files only).
tessera::Result<WorkbookGrid> ReadXlsGrid(const QString &path, const WorkbookLimits &limits = {});
