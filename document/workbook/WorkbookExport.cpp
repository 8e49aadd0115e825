#include "document/workbook/WorkbookExport.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/ErrorCodes.h"
#include "document/SafeSave.h"
#include "document/TableSource.h"
#include "document/workbook/WorkbookCells.h"
#include "document/workbook/XlsxBook.h"
#include "quotes/QuoteRecord.h"
#include "quotes/SecurityCode.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kMinColumns = 3;

struct ExportColumn {
    int field = 0;
    int align = 0;
    QStringView numberFormat;
    lxw_format *format = nullptr;
    bool asText = false;
    int widest = 0;
};

} // namespace

tessera::Status WriteWorkbookFile(
    const QString &file, const TableSource &table, const WorkbookExportOptions &options)
{
    const int columns = table.columnCount();
    if (columns < kMinColumns)
        return tessera::Error { WorkbookErrorTooFewColumns, tessera::ResourceString(Ids::MsgTooFewColumns) };

    XlsxBook book(file, true);
    lxw_worksheet *sheet = book.addSheet(ValidSheetName(options.sheetTitle));

    std::vector<ExportColumn> cols(static_cast<size_t>(columns));
    int linkColumn = 0;
    for (int c = 0; c < columns; ++c) {
        ExportColumn &col = cols[static_cast<size_t>(c)];
        col.field = table.columnField(c);
        col.align = table.columnAlign(c);
        col.numberFormat = LocalNumberFormat(col.field);
        col.asText = IsTextField(col.field);
        col.format = book.format(col.align, col.numberFormat);
        if (col.field == FieldName && linkColumn == 0)
            linkColumn = c;
        const QString caption = table.columnCaption(c);
        col.widest = DisplayWidth(caption);
        book.writeText(sheet, 0, c, caption, col.format);
    }

    const int rows = table.rowCount();
    int unlinked = 0;
    QString scratch;
    for (int r = 0; r < rows && book.ok(); ++r) {
        const QuoteRecord &record = table.rowRecord(r);
        for (int c = 0; c < columns; ++c) {
            ExportColumn &col = cols[static_cast<size_t>(c)];
            const QStringView text = WorkbookCellView(record, col.field, scratch);
            col.widest = std::max(col.widest, DisplayWidth(text));
            if (c == linkColumn) {
                if (!book.writeLink(sheet, r + 1, c, BrowserAddress(record), text, col.align,
                        col.numberFormat, col.asText))
                    ++unlinked;
            } else if (col.asText) {
                book.writeText(sheet, r + 1, c, text, col.format);
            } else {
                book.writeTyped(sheet, r + 1, c, text, col.format, col.align, col.numberFormat);
            }
        }
        if (options.progress)
            options.progress(r + 1, rows);
    }
    for (int c = 0; c < columns; ++c) {
        const ExportColumn &col = cols[static_cast<size_t>(c)];
        book.setColumn(sheet, c, FittedColumnWidth(col.widest), col.format);
    }
    tessera::Status closed = book.close();
    if (closed && unlinked > 0 && options.linksDropped)
        options.linksDropped(unlinked);
    return closed;
}

tessera::Status ExportWorkbook(
    const QString &path, const TableSource &table, const WorkbookExportOptions &options)
{
    if (table.columnCount() < kMinColumns)
        return tessera::Error { WorkbookErrorTooFewColumns, tessera::ResourceString(Ids::MsgTooFewColumns) };
    return SaveNamedFileSafely(
        path, [&](const QString &temp) { return WriteWorkbookFile(temp, table, options); });
}
