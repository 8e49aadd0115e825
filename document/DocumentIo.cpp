#include "document/DocumentIo.h"

#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/CsvExport.h"
#include "document/JsonExport.h"
#include "document/ListFile.h"
#include "document/TextList.h"
#include "document/workbook/WorkbookExport.h"

#include <QFileInfo>

namespace {

// Errors whose text is already worded for the user, with the file's path.
bool isWordedForTheUser(int code)
{
    return code == TextListErrorInvalidCode || code == TextListErrorLineTooLong
        || code == ListErrorNotRegularFile || code == ListErrorTooManyRows;
}

tessera::Status needsTable(const QString &target)
{
    return tessera::Error { ExportErrorWrite, QStringLiteral("%1: no table to export").arg(target) };
}

} // namespace

QString OpenErrorText(const QString &path, const tessera::Error &error)
{
    if (isWordedForTheUser(error.code))
        return error.message;
    const int text
        = error.code == WorkbookErrorNoCodeColumn ? Ids::MsgCodeColumnMissing : Ids::MsgNoValidCode;
    return tessera::FormatResourceString(text) + u'\n' + QFileInfo(path).absoluteFilePath() + u'\n'
        + error.message;
}

tessera::Result<OpenedList> OpenDocument(CQuotraDoc &doc, const QString &path, const ListLoadOptions &options)
{
    tessera::Result<LoadedList> loaded = LoadList(path, options);
    if (!loaded)
        return tessera::Error { loaded.error().code, OpenErrorText(path, loaded.error()) };

    return InstallList(doc, path, std::move(loaded).value());
}

OpenedList InstallList(CQuotraDoc &doc, const QString &path, LoadedList list)
{
    doc.replaceRows(std::move(list.rows));
    doc.setFileKind(FileKindFromPath(path));
    doc.SetPathName(QFileInfo(path).absoluteFilePath());
    doc.SetModifiedFlag(false);
    OpenedList opened;
    opened.layout = std::move(list.layout);
    opened.version = list.version;
    return opened;
}

tessera::Status SaveDocumentFile(const QString &target, FileKind kind, const RecordMap &rows,
    const ColumnLayout &layout, const TableSource *table, const QString &listTitle, int *linksLeftOut)
{
    if (linksLeftOut)
        *linksLeftOut = 0;
    switch (kind) {
    case FileKind::ListFile:
        return SaveListFile(target, rows, layout);
    case FileKind::Csv:
    case FileKind::Json: {
        if (!table)
            return needsTable(target);
        tessera::Status written
            = kind == FileKind::Csv ? ExportCsv(target, *table) : ExportJson(target, *table);
        // The exports' own texts for an empty list do not say which file was refused.
        if (!written && written.error().code == ExportErrorEmpty)
            return tessera::Error { ExportErrorEmpty,
                target + QStringLiteral(": ") + written.error().message };
        return written;
    }
    case FileKind::Workbook: {
        if (!table)
            return needsTable(target);
        WorkbookExportOptions options;
        options.sheetTitle = listTitle.isEmpty() ? QFileInfo(target).fileName() : listTitle;
        options.linksDropped = [linksLeftOut](int rows) {
            if (linksLeftOut)
                *linksLeftOut = rows;
        };
        tessera::Status written = ExportWorkbook(target, *table, options);
        if (!written && written.error().code == WorkbookErrorTooFewColumns)
            return tessera::Error { WorkbookErrorTooFewColumns,
                target + QStringLiteral(": ") + written.error().message };
        return written;
    }
    }
    return tessera::Error { WorkbookErrorWrite, QStringLiteral("%1: unknown file kind").arg(target) };
}

QString LinksLeftOutText(int rows)
{
    return tessera::FormatResourceString(Ids::MsgLinksLeftOut, { tessera::EditString(rows) });
}
