#include "document/CsvExport.h"

#include "document/SafeSave.h"
#include "document/TableSource.h"

#include <QIODevice>

namespace {

// The file has always been written in text mode, where every line feed becomes CR LF; a
// stray LF inside a cell is written the same way so that the line ends stay uniform.
void appendTextMode(Utf8Sink &out, QStringView text)
{
    qsizetype from = 0;
    for (qsizetype lf = text.indexOf(u'\n'); lf >= 0; lf = text.indexOf(u'\n', from)) {
        out.append(text.sliced(from, lf - from));
        out.append(QLatin1StringView("\r\n"));
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

    Utf8Sink out(device);
    out.append(QLatin1StringView("#"));
    for (int c = 0; c < columns; ++c) {
        appendTextMode(out, table.columnCaption(c));
        out.append(QLatin1StringView(","));
    }
    out.append(QLatin1StringView("\r\n"));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            out.append(QLatin1StringView("\""));
            appendTextMode(out, ExportCellText(table, r, c));
            out.append(QLatin1StringView("\","));
        }
        out.append(QLatin1StringView("\r\n"));
        if (!out.flushIfLarge())
            break;
        if (progress)
            progress(r + 1, rows);
    }
    if (!out.flush())
        return tessera::Error { ExportErrorWrite, device.errorString() };
    return tessera::Ok {};
}

tessera::Status ExportCsv(const QString &path, const TableSource &table, const ExportProgress &progress)
{
    if (table.rowCount() <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    return SaveFileSafely(path, [&](QIODevice &device) { return WriteCsv(device, table, progress); });
}
