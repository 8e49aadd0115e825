#include "document/CsvExport.h"

#include "document/SafeSave.h"
#include "document/TableSource.h"

#include "quotes/QuoteRecord.h"

#include <QIODevice>

#include <algorithm>
#include <vector>

namespace {

// The file has always been written in text mode, where every line feed becomes CR LF; a
// stray LF inside a cell is written the same way so that the line ends stay uniform.
void appendTextMode(QString &out, QStringView text)
{
    qsizetype from = 0;
    for (qsizetype lf = text.indexOf(u'\n'); lf >= 0; lf = text.indexOf(u'\n', from)) {
        out.append(text.sliced(from, lf - from));
        out.append(u"\r\n");
        from = lf + 1;
    }
    out.append(text.sliced(from));
}

} // namespace

tessera::Status WriteCsv(QIODevice &device, const TableSource &table, const ExportProgress &progress)
{
    const int rows = table.rowCount();
    if (rows <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    const int columns = table.columnCount();

    std::vector<bool> memo;
    memo.reserve(static_cast<size_t>(std::max(columns, 0)));
    for (int c = 0; c < columns; ++c)
        memo.push_back(table.columnField(c) == FieldMemo);

    Utf8Sink out(device);
    QString scratch;
    QString cellScratch;
    QString line = QStringLiteral("#");
    for (int c = 0; c < columns; ++c) {
        appendTextMode(line, table.columnCaption(c));
        line.append(u',');
    }
    line.append(u"\r\n");
    out.append(line);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            out.append(QLatin1StringView("\""));
            const QStringView cell = table.cellView(r, c, cellScratch);
            const QStringView text = ExportCellView(cell, memo[static_cast<size_t>(c)], scratch);
            if (text.contains(u'\n')) {
                line.resize(0);
                appendTextMode(line, text);
                out.append(line);
            } else {
                out.append(text);
            }
            out.append(QLatin1StringView("\","));
        }
        out.append(QLatin1StringView("\r\n"));
        if (!out.flushIfLarge())
            break;
        if (progress)
            progress(r + 1, rows);
    }
    if (!out.flush())
        return tessera::Error { ExportErrorWrite, DeviceErrorReason(device) };
    return tessera::Ok {};
}

tessera::Status ExportCsv(const QString &path, const TableSource &table, const ExportProgress &progress)
{
    if (table.rowCount() <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    return SaveFileSafely(path, [&](QIODevice &device) { return WriteCsv(device, table, progress); });
}
