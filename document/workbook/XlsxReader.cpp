// .xlsx: the parts are read straight from the ZIP through libzip and parsed as a stream. The
// spreadsheet loader of liborcus 0.17 resolves the absolute sheet paths that some writers put
// in the workbook's relationships wrongly and then leaves inline strings empty, so files of
// common writers read as empty sheets; this reader handles both.
#include "document/ErrorCodes.h"
#include "document/workbook/GridBuilder.h"
#include "document/workbook/ShownNumber.h"
#include "document/workbook/TypedInput.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/XlsxSheetScan.h"

#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int kMaxRow = kSheetMaxRow;
constexpr int kMaxColumn = kSheetMaxColumn;
// Sheet parts up to this size are read whole and scanned quickly; larger ones stream.
constexpr qint64 kMaxScannedPart = qint64(512) << 20;
// Number formats and cell styles read from the styles part; a spreadsheet allows 64,000.
constexpr qint64 kMaxStyles = 100000;

// The longest stretch of a part without a '<': a cell's text or a tag with its attributes. A
// cell holds at most 32,767 characters, which even written as character references stay
// far below this; a longer stretch is refused before the XML reader gathers it into one
// token (a single text of a part's whole size would otherwise cost several times that).
constexpr qint64 kMaxMarkupFreeRun = qint64(1) << 20;

// Follows the stretches without '<' across the pieces of a part.
class MarkupRunGuard {
public:
    // False once a stretch is longer than kMaxMarkupFreeRun.
    bool take(const char *data, qint64 size)
    {
        const char *p = data;
        const char *const end = data + size;
        while (p < end) {
            // A '<' must come within the bytes the current stretch may still grow by.
            const qint64 window = std::min<qint64>(end - p, kMaxMarkupFreeRun - m_run + 1);
            const void *last = memrchr(p, '<', static_cast<size_t>(window));
            if (!last) {
                m_run += window;
                if (m_run > kMaxMarkupFreeRun)
                    return false;
                p += window;
                continue;
            }
            p = static_cast<const char *>(last) + 1;
            m_run = 0;
        }
        return true;
    }

private:
    qint64 m_run = 0;
};

tessera::Error damaged(const QString &what)
{
    return tessera::Error { WorkbookErrorDamaged, what };
}

// One part of the archive as a sequential device, cut off after `limit` bytes, or after
// `packedLimit` bytes when that is less: the most its packed size may sensibly unpack to.
class ZipPart : public QIODevice {
public:
    ZipPart(zip_file_t *file, qint64 limit, qint64 packedLimit)
        : m_file(file)
        , m_limit(std::min(limit, packedLimit))
        , m_packedLimited(packedLimit < limit)
    {
        open(QIODevice::ReadOnly);
    }
    ~ZipPart() override
    {
        if (m_file)
            zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    // Cut off at the absolute limit, or at the limit of its packed size.
    bool overLimit() const { return m_over && !m_packedLimited; }
    bool overPackedLimit() const { return m_over && m_packedLimited; }
    // Refuses the part before anything is unpacked (its directory entry says too much).
    void refuse() { m_over = true; }
    bool failed() const { return m_failed; }
    bool runTooLong() const { return m_runTooLong; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_over || m_read >= m_limit) {
            m_over = true;
            return -1;
        }
        const zip_int64_t n
            = zip_fread(m_file, data, static_cast<zip_uint64_t>(std::min(maxSize, m_limit - m_read)));
        if (n < 0) {
            m_failed = true;
            return -1;
        }
        m_read += n;
        if (!m_runs.take(data, n)) {
            m_runTooLong = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip_file_t *m_file;
    qint64 m_limit;
    bool m_packedLimited;
    qint64 m_read = 0;
    bool m_over = false;
    bool m_failed = false;
    bool m_runTooLong = false;
    MarkupRunGuard m_runs;
};

struct ZipDeleter {
    void operator()(zip_t *z) const { zip_discard(z); }
};

class XlsxFile {
public:
    XlsxFile(QByteArrayView data, const WorkbookLimits &limits)
        : m_data(data)
        , m_limits(limits)
    { }

    tessera::Result<WorkbookGrid> read();

private:
    std::unique_ptr<ZipPart> part(const QString &name);
    qint64 packedLimit(const zip_stat_t &stat) const;
    tessera::Error tooLarge(const QString &name, const ZipPart &device) const;
    std::optional<QByteArray> wholePart(const QString &name);
    bool hasPart(const QString &name) const;
    tessera::Status parse(const QString &name, const std::function<bool(QXmlStreamReader &)> &onStart,
        const std::function<void(QXmlStreamReader &)> &onEnd = {});
    QHash<QString, QString> relationships(const QString &partName, QHash<QString, QString> *types = nullptr);
    tessera::Status readSharedStrings(const QString &name);
    tessera::Status readStyles(const QString &name);
    tessera::Status readSheet(const QString &name, GridBuilder &grid);

    QByteArrayView m_data;
    WorkbookLimits m_limits;
    std::unique_ptr<zip_t, ZipDeleter> m_zip;
    std::vector<QString> m_shared;
    std::vector<QString> m_formats; // number format code by cell style
    qint64 m_sharedUnits = 0;
    tessera::Status m_stop = tessera::Ok {}; // a limit passed inside a handler
};

QString folderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

// A relationship's target as a part name: absolute targets start at the archive's root,
// relative ones at the folder of the part that names them; "." and ".." are resolved.
QString resolveTarget(const QString &fromPart, const QString &target)
{
    QString path = target.startsWith(u'/') ? target.mid(1) : folderOf(fromPart) + target;
    QStringList out;
    for (const QString &piece : path.split(u'/', Qt::SkipEmptyParts)) {
        if (piece == u".")
            continue;
        if (piece == u"..") {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out.append(piece);
    }
    return out.join(u'/');
}

QString relsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

} // namespace

qint64 XlsxFile::packedLimit(const zip_stat_t &stat) const
{
    if (!(stat.valid & ZIP_STAT_COMP_SIZE))
        return m_limits.maxPartBytes;
    const qint64 packed = static_cast<qint64>(std::min<zip_uint64_t>(stat.comp_size, zip_uint64_t(1) << 40));
    return std::max(m_limits.freelyUnpackedBytes, packed * m_limits.maxPackingRatio);
}

std::unique_ptr<ZipPart> XlsxFile::part(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(m_zip.get(), utf8.constData(), ZIP_FL_ENC_UTF_8, &stat) != 0)
        return nullptr;
    zip_file_t *file = zip_fopen(m_zip.get(), utf8.constData(), ZIP_FL_ENC_UTF_8);
    if (!file)
        return nullptr;
    // The directory's sizes are checked first, and the bytes unpacked as they come, so that
    // a part that lies about its size is cut off all the same.
    auto device = std::make_unique<ZipPart>(file, m_limits.maxPartBytes, packedLimit(stat));
    if ((stat.valid & ZIP_STAT_SIZE)
        && static_cast<qint64>(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62))
            > std::min(m_limits.maxPartBytes, packedLimit(stat)))
        device->refuse();
    return device;
}

tessera::Error XlsxFile::tooLarge(const QString &name, const ZipPart &device) const
{
    if (device.overPackedLimit()) {
        return tessera::Error { WorkbookErrorTooLarge,
            QStringLiteral("the part %1 unpacks to more than %2 times its packed size")
                .arg(name)
                .arg(m_limits.maxPackingRatio) };
    }
    return tessera::Error { WorkbookErrorTooLarge,
        QStringLiteral("the part %1 is larger than %2 bytes").arg(name).arg(m_limits.maxPartBytes) };
}

bool XlsxFile::hasPart(const QString &name) const
{
    return zip_name_locate(m_zip.get(), name.toUtf8().constData(), ZIP_FL_ENC_UTF_8) >= 0;
}

tessera::Status XlsxFile::parse(const QString &name, const std::function<bool(QXmlStreamReader &)> &onStart,
    const std::function<void(QXmlStreamReader &)> &onEnd)
{
    std::unique_ptr<ZipPart> device = part(name);
    if (!device)
        return damaged(QStringLiteral("the part %1 is missing").arg(name));
    QXmlStreamReader xml(device.get());
    // No part of a workbook has a document type; one that declares entities is refused
    // rather than expanded.
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return damaged(QStringLiteral("the part %1 declares a document type").arg(name));
        case QXmlStreamReader::StartElement:
            if (!onStart(xml)) {
                if (!m_stop)
                    return m_stop.error();
                return tessera::Ok {};
            }
            break;
        case QXmlStreamReader::EndElement:
            if (onEnd)
                onEnd(xml);
            break;
        default:
            break;
        }
    }
    if (device->overLimit() || device->overPackedLimit())
        return tooLarge(name, *device);
    if (device->runTooLong()) {
        return tessera::Error { WorkbookErrorTooLarge,
            QStringLiteral("the part %1 holds a text or tag longer than %2 bytes")
                .arg(name)
                .arg(kMaxMarkupFreeRun) };
    }
    if (device->failed())
        return damaged(QStringLiteral("the part %1 cannot be unpacked").arg(name));
    if (xml.hasError())
        return damaged(QStringLiteral("the part %1 is not well-formed: %2").arg(name, xml.errorString()));
    if (!m_stop)
        return m_stop.error();
    return tessera::Ok {};
}

QHash<QString, QString> XlsxFile::relationships(const QString &partName, QHash<QString, QString> *types)
{
    QHash<QString, QString> targets;
    const QString rels = relsOf(partName);
    if (!hasPart(rels))
        return targets;
    (void)parse(rels, [&](QXmlStreamReader &xml) {
        if (xml.name() == u"Relationship") {
            const auto a = xml.attributes();
            const QString id = a.value(QLatin1StringView("Id")).toString();
            if (a.value(QLatin1StringView("TargetMode")) != u"External")
                targets.insert(id, resolveTarget(partName, a.value(QLatin1StringView("Target")).toString()));
            if (types)
                types->insert(id, a.value(QLatin1StringView("Type")).toString());
        }
        return targets.size() < 100000;
    });
    return targets;
}

tessera::Status XlsxFile::readSharedStrings(const QString &name)
{
    int depthInPhonetic = 0;
    bool inItem = false;
    bool inText = false;
    QString current;
    std::function<bool(QXmlStreamReader &)> onStart = [&](QXmlStreamReader &xml) {
        const QStringView n = xml.name();
        if (n == u"si") {
            if (static_cast<qint64>(m_shared.size()) >= m_limits.maxSharedStrings) {
                m_stop = tessera::Error { WorkbookErrorTooLarge,
                    QStringLiteral("more than %1 shared strings").arg(m_limits.maxSharedStrings) };
                return false;
            }
            inItem = true;
            current.clear();
        } else if (n == u"rPh") {
            ++depthInPhonetic; // reading aids, not part of the text
        } else if (n == u"t" && inItem && depthInPhonetic == 0) {
            const QString text
                = DecodeCellEscapes(xml.readElementText(QXmlStreamReader::IncludeChildElements));
            m_sharedUnits += text.size();
            if (m_sharedUnits > m_limits.maxTextUnits) {
                m_stop = tessera::Error { WorkbookErrorTooLarge,
                    QStringLiteral("the shared strings hold too much text") };
                return false;
            }
            current += text;
        }
        Q_UNUSED(inText);
        return true;
    };
    return parse(name, onStart, [&](QXmlStreamReader &xml) {
        if (xml.name() == u"rPh" && depthInPhonetic > 0) {
            --depthInPhonetic;
        } else if (xml.name() == u"si" && inItem) {
            m_shared.push_back(current);
            inItem = false;
        }
    });
}

tessera::Status XlsxFile::readStyles(const QString &name)
{
    // The number formats the file defines, then the format of each cell style in order.
    QHash<int, QString> defined;
    std::vector<int> styleFormats;
    int inCellStyles = 0;
    tessera::Status parsed = parse(
        name,
        [&](QXmlStreamReader &xml) {
            const QStringView n = xml.name();
            const auto a = xml.attributes();
            if (n == u"numFmt") {
                bool ok = false;
                const int id = a.value(QLatin1StringView("numFmtId")).toInt(&ok);
                if (ok)
                    defined.insert(id, a.value(QLatin1StringView("formatCode")).toString());
            } else if (n == u"cellXfs") {
                ++inCellStyles;
            } else if (n == u"xf" && inCellStyles > 0) {
                bool ok = false;
                const int id = a.value(QLatin1StringView("numFmtId")).toInt(&ok);
                styleFormats.push_back(ok ? id : 0);
            }
            return defined.size() < kMaxStyles && static_cast<qint64>(styleFormats.size()) < kMaxStyles;
        },
        [&](QXmlStreamReader &xml) {
            if (xml.name() == u"cellXfs" && inCellStyles > 0)
                --inCellStyles;
        });
    // Formats only change how numbers read as texts; a styles part that cannot be read
    // leaves every cell in the general format, unless it passed a limit.
    if (!parsed && parsed.error().code == WorkbookErrorTooLarge)
        return parsed;
    if (!parsed)
        return tessera::Ok {};
    m_formats.reserve(styleFormats.size());
    for (const int id : styleFormats) {
        QString code = defined.contains(id) ? defined.value(id) : BuiltinNumberFormat(id);
        if (code.compare(u"General", Qt::CaseInsensitive) == 0)
            code.clear();
        m_formats.push_back(std::move(code));
    }
    return tessera::Ok {};
}

std::optional<QByteArray> XlsxFile::wholePart(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(m_zip.get(), utf8.constData(), ZIP_FL_ENC_UTF_8, &stat) != 0
        || !(stat.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    const qint64 size = static_cast<qint64>(std::min<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62));
    if (size > std::min({ m_limits.maxPartBytes, kMaxScannedPart, packedLimit(stat) }))
        return std::nullopt; // the streaming reader refuses it with its reason
    zip_file_t *file = zip_fopen(m_zip.get(), utf8.constData(), ZIP_FL_ENC_UTF_8);
    if (!file)
        return std::nullopt;
    // One byte more than the directory says, to notice a part that is longer than stated.
    QByteArray bytes(size + 1, Qt::Uninitialized);
    qint64 got = 0;
    bool failed = false;
    for (;;) {
        // Reading on to the end lets the library check the part's checksum.
        const zip_int64_t n
            = zip_fread(file, bytes.data() + got, static_cast<zip_uint64_t>(bytes.size() - got));
        if (n < 0)
            failed = true;
        if (n <= 0)
            break;
        got += n;
        if (got == bytes.size())
            break;
    }
    zip_fclose(file);
    if (failed || got != size)
        return std::nullopt; // damaged or not as stated: the streaming reader reports it
    bytes.truncate(size);
    if (!MarkupRunGuard().take(bytes.constData(), size))
        return std::nullopt; // the streaming reader refuses it with its reason
    return bytes;
}

tessera::Status XlsxFile::readSheet(const QString &name, GridBuilder &grid)
{
    // Most sheets are in the plain form writers produce and are scanned in one pass; any
    // other form goes through the XML reader, which also reports what is wrong.
    if (const std::optional<QByteArray> whole = wholePart(name)) {
        GridBuilder quick(m_limits);
        switch (ScanSheetXml(*whole, m_shared, quick)) {
        case SheetScan::Done:
            grid = std::move(quick);
            return tessera::Ok {};
        case SheetScan::Stopped:
            return quick.error();
        case SheetScan::Unsupported:
            break;
        }
    }
    int row = -1;
    int column = -1;
    return parse(name, [&](QXmlStreamReader &xml) {
        const QStringView n = xml.name();
        if (n == u"row") {
            const QStringView r = xml.attributes().value(QLatin1StringView("r"));
            bool ok = false;
            const int number = r.toInt(&ok);
            if (!r.isEmpty() && (!ok || number < 1 || number > kMaxRow)) {
                m_stop = damaged(QStringLiteral("a row number of %1 is out of range").arg(name));
                return false;
            }
            row = r.isEmpty() ? row + 1 : number - 1;
            column = -1;
            return true;
        }
        if (n != u"c")
            return true;
        const auto attributes = xml.attributes();
        const QStringView ref = attributes.value(QLatin1StringView("r"));
        const QStringView typeText = attributes.value(QLatin1StringView("t"));
        const SheetCellType cellType = SheetCellTypeOf(typeText);
        bool styled = false;
        const quint32 style = attributes.value(QLatin1StringView("s")).trimmed().toUInt(&styled);
        if (ref.isEmpty()) {
            ++column;
            if (row < 0)
                row = 0;
        } else {
            int r = 0;
            if (!ParseCellReference(ref, column, r)) {
                m_stop = damaged(QStringLiteral("a cell reference of %1 is out of range").arg(name));
                return false;
            }
            row = r;
        }
        if (column >= kMaxColumn || row >= kMaxRow) {
            m_stop = damaged(QStringLiteral("a cell of %1 lies outside the grid").arg(name));
            return false;
        }
        // The cell's children: the value, an inline string, a formula (its value is cached).
        QString value;
        QString inlineText;
        bool haveValue = false;
        int depth = 1;
        while (depth > 0 && !xml.atEnd()) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                if (xml.name() == u"v") {
                    value = xml.readElementText();
                    haveValue = true;
                    --depth;
                } else if (xml.name() == u"t" && cellType == SheetCellType::Inline) {
                    inlineText += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    --depth;
                } else if (xml.name() == u"rPh") {
                    xml.skipCurrentElement();
                    --depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            }
        }
        const bool kept = AddSheetCell(grid, m_shared, row, column, cellType, value, haveValue,
            std::move(inlineText), styled ? style : 0);
        if (!kept) {
            m_stop = grid.error();
            return false;
        }
        return true;
    });
}

tessera::Result<WorkbookGrid> XlsxFile::read()
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source
        = zip_source_buffer_create(m_data.data(), static_cast<zip_uint64_t>(m_data.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return damaged(QStringLiteral("the ZIP container cannot be read"));
    }
    zip_t *zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!zip) {
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        return damaged(QStringLiteral("the ZIP container is damaged: %1").arg(reason));
    }
    zip_error_fini(&error);
    m_zip.reset(zip);

    // The package relationships name the workbook part.
    QString workbook = QStringLiteral("xl/workbook.xml");
    QHash<QString, QString> rootTypes;
    const QHash<QString, QString> root = relationships(QString(), &rootTypes);
    for (auto it = rootTypes.cbegin(); it != rootTypes.cend(); ++it) {
        if (it.value().endsWith(u"/officeDocument") && root.contains(it.key()))
            workbook = root.value(it.key());
    }
    if (!hasPart(workbook))
        return tessera::Error { WorkbookErrorNotWorkbook, QStringLiteral("the ZIP file holds no workbook") };

    bool date1904 = false;
    int activeTab = 0;
    QStringList sheetIds;
    tessera::Status parsed = parse(workbook, [&](QXmlStreamReader &xml) {
        const auto a = xml.attributes();
        if (xml.name() == u"workbookPr") {
            const QStringView v = a.value(QLatin1StringView("date1904"));
            date1904 = v == u"1" || v == u"true";
        } else if (xml.name() == u"workbookView") {
            bool ok = false;
            const int tab = a.value(QLatin1StringView("activeTab")).toInt(&ok);
            activeTab = ok && tab >= 0 ? tab : 0;
        } else if (xml.name() == u"sheet") {
            for (const QXmlStreamAttribute &attr : a) {
                if (attr.name() == u"id" && !attr.namespaceUri().isEmpty())
                    sheetIds.append(attr.value().toString());
            }
        }
        return sheetIds.size() < 100000;
    });
    if (!parsed)
        return parsed.error();
    if (sheetIds.isEmpty())
        return tessera::Error { WorkbookErrorNotWorkbook, QStringLiteral("the workbook has no sheet") };
    if (activeTab >= sheetIds.size())
        activeTab = 0;

    QHash<QString, QString> types;
    const QHash<QString, QString> targets = relationships(workbook, &types);
    const QString sheet = targets.value(sheetIds[activeTab]);
    if (sheet.isEmpty() || !hasPart(sheet))
        return tessera::Error { WorkbookErrorNotWorkbook,
            QStringLiteral("the active sheet's part is missing") };
    QString shared;
    QString styles;
    for (auto it = types.cbegin(); it != types.cend(); ++it) {
        if (it.value().endsWith(u"/sharedStrings"))
            shared = targets.value(it.key());
        else if (it.value().endsWith(u"/styles"))
            styles = targets.value(it.key());
    }
    if (!styles.isEmpty() && hasPart(styles)) {
        if (tessera::Status read = readStyles(styles); !read)
            return read.error();
    }
    if (!shared.isEmpty() && hasPart(shared)) {
        if (tessera::Status strings = readSharedStrings(shared); !strings)
            return strings.error();
    }
    GridBuilder grid(m_limits);
    if (tessera::Status cells = readSheet(sheet, grid); !cells)
        return cells.error();
    tessera::Result<WorkbookGrid> built = grid.build(date1904);
    if (built)
        built->formats = std::move(m_formats);
    return built;
}

tessera::Result<WorkbookGrid> ReadXlsxGrid(QByteArrayView data, const WorkbookLimits &limits)
{
    XlsxFile file(data, limits);
    return file.read();
}
