#pragma once

#include "document/workbook/GridBuilder.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The cells of a worksheet part, shared by the full XML reader and the quick scan below.

inline constexpr int kSheetMaxRow = 1048576;
inline constexpr int kSheetMaxColumn = 16384;

// The value kinds of a cell's "t" attribute that carry something; everything else
// (booleans, errors, unknown kinds) counts as empty.
enum class SheetCellType { Number, Shared, String, Inline, Date, Other };
SheetCellType SheetCellTypeOf(QStringView t);

// "BC12" -> column 54, row 11 (0-based). False for anything else or beyond the grid.
bool ParseCellReference(QStringView ref, int &column, int &row);

// A number of a "v" element: the whole text, blanks around it allowed.
std::optional<double> ParseCellNumber(QStringView text);

// A string of the file with the format's escapes of characters XML cannot carry decoded:
// "_xHHHH_" (four hex digits) is the UTF-16 unit HHHH, so "_x000D_" is a carriage return and
// "_x005F_" the underscore that keeps a literal "_x0041_" from being read as an escape.
QString DecodeCellEscapes(QString text);

// Hands one cell to the grid by its type: numbers and ISO dates as numbers, shared, inline
// and formula strings as texts. False once the grid refuses a cell (a limit).
// `style` is the cell's "s" attribute, kept with numbers.
bool AddSheetCell(GridBuilder &grid, const std::vector<QString> &shared, int row, int column,
    SheetCellType type, QStringView value, bool haveValue, QString inlineText, quint32 style = 0);

enum class SheetScan {
    Done, // every cell is in the grid
    Unsupported, // something the scan does not take: read the part with the full XML reader
    Stopped, // the grid refused a cell; grid.error() says which limit
};

// A quick pass over a worksheet part in UTF-8 for the plain form spreadsheet writers
// produce: elements without prefixes, the five predefined entities and character
// references, no comments, CDATA, document types or processing instructions after the XML
// declaration. Whatever else it meets, including anything not well-formed, it leaves to the
// full reader (Unsupported), which then also reports the errors; on Unsupported the grid
// holds part of the cells and must be dropped.
SheetScan ScanSheetXml(QByteArrayView xml, const std::vector<QString> &shared, GridBuilder &grid);
