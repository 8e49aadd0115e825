// .xls through libfreexl. The library hands date cells over as texts ("2026-07-16",
// "2026-07-16 09:00:00", "09:00:00"), which become the date numbers a spreadsheet gives again.
// It keeps no record of the sheet the file had active, so the first sheet is read.
#include "tools/xls-reader/FreexlGrid.h"

#include "document/ErrorCodes.h"
#include "document/workbook/GridBuilder.h"
#include "document/workbook/TypedInput.h"
#include "document/workbook/WorkbookGrid.h"

#include <QDate>
#include <QFile>
#include <QTime>

#include <freexl.h>

namespace {

std::optional<double> freexlDateSerial(const char *text, unsigned char type)
{
    const QString s = QString::fromLatin1(text);
    if (type == FREEXL_CELL_TIME) {
        const QTime t = QTime::fromString(s, QStringLiteral("HH:mm:ss"));
        if (!t.isValid())
            return std::nullopt;
        return t.msecsSinceStartOfDay() / 86400000.0;
    }
    const QDate day = QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        return std::nullopt;
    std::optional<double> serial = DateSerial1900(day);
    if (!serial || type == FREEXL_CELL_DATE)
        return serial;
    const QTime t = QTime::fromString(s.mid(11), QStringLiteral("HH:mm:ss"));
    if (!t.isValid())
        return std::nullopt;
    return *serial + t.msecsSinceStartOfDay() / 86400000.0;
}

struct Handle {
    const void *xls = nullptr;
    ~Handle()
    {
        if (xls)
            freexl_close(xls);
    }
};

} // namespace

tessera::Result<WorkbookGrid> ReadXlsGridWithFreexl(const QString &path, const WorkbookLimits &limits)
{
    Handle handle;
    const QByteArray name = QFile::encodeName(path);
    if (freexl_open(name.constData(), &handle.xls) != FREEXL_OK)
        return tessera::Error { WorkbookErrorDamaged,
            QStringLiteral("the .xls workbook is damaged and cannot be read") };
    unsigned int sheets = 0;
    if (freexl_get_info(handle.xls, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0)
        return tessera::Error { WorkbookErrorNotWorkbook, QStringLiteral("the workbook has no sheet") };
    if (freexl_select_active_worksheet(handle.xls, 0) != FREEXL_OK)
        return tessera::Error { WorkbookErrorDamaged, QStringLiteral("the first sheet cannot be read") };
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle.xls, &rows, &columns) != FREEXL_OK)
        return tessera::Error { WorkbookErrorDamaged, QStringLiteral("the sheet's size cannot be read") };
    if (static_cast<qint64>(rows) * columns > 16 * limits.maxCells) {
        return tessera::Error { WorkbookErrorTooLarge,
            QStringLiteral("the sheet claims %1 rows and %2 columns").arg(rows).arg(columns) };
    }
    GridBuilder grid(limits);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle.xls, r, c, &cell) != FREEXL_OK)
                continue;
            bool kept = true;
            const int row = static_cast<int>(r);
            switch (cell.type) {
            case FREEXL_CELL_INT:
                kept = grid.addNumber(row, c, cell.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                kept = grid.addNumber(row, c, cell.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                if (cell.value.text_value)
                    kept = grid.addText(row, c, QString::fromUtf8(cell.value.text_value));
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (cell.value.text_value) {
                    if (std::optional<double> serial = freexlDateSerial(cell.value.text_value, cell.type))
                        kept = grid.addNumber(row, c, *serial);
                }
                break;
            default:
                break;
            }
            if (!kept)
                return grid.error().error();
        }
    }
    // freexl has already applied the file's date system to its date texts.
    return grid.build(false);
}
