#include "document/ListLoader.h"

#include "corelib/EditString.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/BinaryArchive.h"
#include "document/RegularFile.h"
#include "document/TextList.h"
#include "document/workbook/WorkbookGrid.h"

#include <optional>

#include <QFile>
#include <QFileInfo>

namespace {

QString absolutePath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

tessera::Error tooManyRows(const QString &path, qint64 maxRows)
{
    return tessera::Error { ListErrorTooManyRows,
        tessera::FormatResourceString(
            Ids::MsgTooManyRows, { absolutePath(path), tessera::EditString(maxRows) }) };
}

// The readers below know no file name: a refusal for too many rows is worded here.
template<typename T>
tessera::Result<T> namingRowLimit(tessera::Result<T> result, const QString &path, qint64 maxRows)
{
    if (!result && result.error().code == ListErrorTooManyRows)
        return tooManyRows(path, maxRows);
    return result;
}

// A workbook by content, or a file whose name says workbook: read as one. Nothing when the
// file is neither.
std::optional<tessera::Result<LoadedList>> loadWorkbook(
    QByteArrayView data, const QString &path, const ListLoadOptions &options)
{
    if (DetectWorkbookFormat(data) == WorkbookFormat::None) {
        if (!IsWorkbookPath(path))
            return std::nullopt;
        return tessera::Result<LoadedList>(tessera::Error {
            WorkbookErrorNotWorkbook, QStringLiteral("the file is not a workbook (neither ZIP nor OLE)") });
    }
    tessera::Result<WorkbookGrid> grid = ReadWorkbookGrid(data, path, options.workbookLimits);
    if (!grid)
        return tessera::Result<LoadedList>(grid.error());
    tessera::Result<LoadedList> list = ImportWorkbookGrid(*grid, options.workbook);
    if (list && static_cast<qint64>(list->rows.size()) > options.maxRows)
        return tessera::Result<LoadedList>(tooManyRows(path, options.maxRows));
    return list;
}

// The whole file, mapped when possible so that a large list is not copied before parsing.
class FileBytes {
public:
    explicit FileBytes(const QString &path, qint64 maxBytes)
        : m_path(path)
        , m_file(path)
        , m_maxBytes(maxBytes)
    { }

    tessera::Status open()
    {
        if (tessera::Status opened = OpenRegularFileForReading(m_file, ListErrorNotRegularFile, ListErrorIo);
            !opened)
            return opened;
        const qint64 size = m_file.size();
        // Checked before mapping or reading: a wrong file of many gigabytes must not be
        // mapped, copied or scanned line by line as a text list.
        if (size > m_maxBytes) {
            return tessera::Error { ListErrorTooLarge,
                QStringLiteral("cannot open %1: the file has %2 bytes, more than a list can have (%3)")
                    .arg(m_path)
                    .arg(size)
                    .arg(m_maxBytes) };
        }
        if (size > 0) {
            m_map = m_file.map(0, size);
            if (m_map) {
                m_view = QByteArrayView(m_map, static_cast<qsizetype>(size));
                return tessera::Ok {};
            }
        }
        m_copy = m_file.readAll();
        if (m_copy.size() != size) {
            return tessera::Error { ListErrorIo,
                QStringLiteral("cannot read %1: %2").arg(m_path, m_file.errorString()) };
        }
        m_view = QByteArrayView(m_copy);
        return tessera::Ok {};
    }
    QByteArrayView bytes() const { return m_view; }

private:
    QString m_path; // the file keeps no name once opened from its descriptor
    QFile m_file;
    qint64 m_maxBytes;
    uchar *m_map = nullptr;
    QByteArray m_copy;
    QByteArrayView m_view;
};

} // namespace

bool IsWorkbookPath(const QString &path)
{
    return path.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
}

tessera::Result<LoadedList> LoadList(QByteArrayView data, const QString &path, const ListLoadOptions &options)
{
    if (std::optional<tessera::Result<LoadedList>> book = loadWorkbook(data, path, options))
        return std::move(*book);
    BinaryReader in(data);
    const quint32 version = in.readU32();
    if (!in.ok())
        return in.error();
    if (IsKnownListVersion(version)) {
        ListReadOptions listFile = options.listFile;
        listFile.maxRows = options.maxRows;
        return namingRowLimit(ReadListFile(data, listFile), path, options.maxRows);
    }
    if (IsNewerListVersion(version))
        return NewerListVersionError(version);

    TextListOptions text;
    text.path = path.isEmpty() ? path : absolutePath(path);
    text.updatePeriodSeconds = options.updatePeriodSeconds;
    text.now = options.now;
    text.maxRows = options.maxRows;
    tessera::Result<RecordMap> rows = namingRowLimit(ReadTextList(data, text), path, options.maxRows);
    if (!rows)
        return rows.error();
    LoadedList list;
    list.rows = std::move(rows).value();
    return list;
}

tessera::Result<LoadedList> LoadList(const QString &path, const ListLoadOptions &options)
{
    FileBytes file(path, options.maxFileBytes);
    if (tessera::Status opened = file.open(); !opened)
        return opened.error();
    return LoadList(file.bytes(), path, options);
}

tessera::Status CheckList(const QString &path, const ListLoadOptions &options)
{
    FileBytes file(path, options.maxFileBytes);
    if (tessera::Status opened = file.open(); !opened)
        return opened.error();
    if (std::optional<tessera::Result<LoadedList>> book = loadWorkbook(file.bytes(), path, options)) {
        if (!*book)
            return book->error();
        return tessera::Ok {};
    }
    BinaryReader in(file.bytes());
    const quint32 version = in.readU32();
    if (!in.ok())
        return in.error();
    if (IsKnownListVersion(version))
        return tessera::Ok {};
    if (IsNewerListVersion(version))
        return NewerListVersionError(version);
    TextListOptions text;
    text.path = absolutePath(path);
    text.updatePeriodSeconds = options.updatePeriodSeconds;
    text.now = options.now;
    text.maxRows = options.maxRows;
    tessera::Result<RecordMap> rows = namingRowLimit(ReadTextList(file.bytes(), text), path, options.maxRows);
    if (!rows)
        return rows.error();
    return tessera::Ok {};
}
