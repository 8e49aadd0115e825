#include "document/workbook/XlsxBook.h"

#include "document/ErrorCodes.h"
#include "document/workbook/WorkbookCells.h"
#include "document/workbook/XlsxPacking.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <QLoggingCategory>

#include <xlsxwriter.h>

#include <mutex>

namespace {

Q_LOGGING_CATEGORY(lcWorkbook, "quotra.workbook")

constexpr qsizetype kMaxCellText = 32767; // a cell holds no more characters
constexpr int kMaxLinksPerSheet = LXW_MAX_NUMBER_URLS;

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Whether `text` holds "_xHHHH_", which readers of the format take for an escaped character.
bool holdsEscapeLookalike(QStringView text)
{
    for (qsizetype at = text.indexOf(u"_x"); at >= 0 && at + 6 < text.size();
         at = text.indexOf(u"_x", at + 1)) {
        if (text[at + 6] == u'_' && isHexDigit(text[at + 2]) && isHexDigit(text[at + 3])
            && isHexDigit(text[at + 4]) && isHexDigit(text[at + 5]))
            return true;
    }
    return false;
}

// The text with the underscore of each "_xHHHH_" written as "_x005F_", so that readers
// take it literally; the library escapes control characters only.
QString escapeLookalikes(QStringView text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && holdsEscapeLookalike(text.sliced(i, std::min<qsizetype>(7, text.size() - i))))
            out += u"_x005F_";
        else
            out += text[i];
    }
    return out;
}

// UTF-8 for the library, in `out` (reused from cell to cell). Characters XML cannot carry
// (controls other than tab and line ends) are left out, so that a stray control character in
// a memo cannot make the file unreadable; a text that reads like an escape is escaped; a
// text longer than a cell takes is cut.
void cellUtf8(QStringView text, QByteArray &out)
{
    if (text.size() > kMaxCellText) {
        qsizetype cut = kMaxCellText;
        if (text[cut - 1].isHighSurrogate())
            --cut;
        text = text.first(cut);
    }
    bool clean = true;
    for (QChar c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') {
            clean = false;
            break;
        }
    }
    QString copy;
    if (!clean) {
        copy.reserve(text.size());
        for (QChar c : text) {
            if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
                copy += c;
        }
        text = copy;
    }
    QString escaped;
    if (holdsEscapeLookalike(text)) {
        escaped = escapeLookalikes(text);
        text = escaped;
    }
    QStringEncoder encoder(QStringEncoder::Utf8);
    out.resize(encoder.requiredSpace(text.size()));
    char *end = encoder.appendToBuffer(out.data(), text);
    out.truncate(end - out.constData()); // keeps the terminating zero the library reads up to
}

uint8_t lxwAlign(int align)
{
    switch (align) {
    case 0:
        return LXW_ALIGN_LEFT;
    case 1:
        return LXW_ALIGN_RIGHT;
    case 2:
        return LXW_ALIGN_CENTER;
    default:
        return LXW_ALIGN_NONE;
    }
}

// The format typing gives a cell in a column with the number format `localFormat`: a
// percentage always shows as one, with two decimals (a rate "-0.78%" must not show as
// "-0.01"); a date gets a date format where the column has none.
QStringView typedFormat(const TypedInput &typed, QStringView localFormat)
{
    if (typed.kind == TypedInput::Number && typed.percent)
        return PercentNumberFormat(localFormat);
    if (!localFormat.isEmpty())
        return {};
    if (typed.kind == TypedInput::DateTime)
        return typed.withTime ? QStringView(u"yyyy/m/d h:mm") : QStringView(u"yyyy/m/d");
    return {};
}

// Said once: the workbook is fine, only its packing took the slower default.
void notePackedByTheLibrary()
{
    static std::once_flag noted;
    std::call_once(
        noted, [] {
            qCInfo(lcWorkbook).noquote()
                << QStringLiteral(
                       "workbooks are packed at the workbook library's own level: it does not pack "
                       "through the shared minizip%1")
                       .arg(XlsxPackingReady() ? QString() : QStringLiteral(", which is not loaded"));
        });
}

} // namespace

XlsxBook::XlsxBook(const QString &file, bool constantMemory)
{
    lxw_workbook_options options {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    options.use_zip64 = LXW_FALSE;
    const QByteArray name = QFile::encodeName(file);
    // The library keeps its row data beside the target rather than in a /tmp that may be
    // memory.
    QByteArray tmpdir = QFile::encodeName(QFileInfo(file).absolutePath());
    options.tmpdir = tmpdir.data();
    m_packedBefore = XlsxPackingCalls();
    m_book = workbook_new_opt(name.constData(), &options);
    if (!m_book)
        m_error = QStringLiteral("the workbook could not be started");
}

XlsxBook::~XlsxBook()
{
    if (m_book) {
        // Closing is the only way the library frees a workbook; the caller removes the file.
        workbook_close(m_book);
    }
}

void XlsxBook::fail(const char *what, int code)
{
    if (m_error.isEmpty()) {
        m_error = QString::fromLatin1(what) + QStringLiteral(": ")
            + QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(code)));
    }
}

lxw_worksheet *XlsxBook::addSheet(const QString &name)
{
    if (!m_book)
        return nullptr;
    const QByteArray utf8 = name.toUtf8();
    lxw_worksheet *sheet = workbook_add_worksheet(m_book, utf8.constData());
    if (!sheet)
        fail("adding a sheet", LXW_ERROR_SHEETNAME_ALREADY_USED);
    return sheet;
}

lxw_format *XlsxBook::format(int align, QStringView localFormat, bool link)
{
    if (!m_book)
        return nullptr;
    // The writers ask for the same few formats cell after cell: the recent ones are found
    // without building a key.
    for (const RecentFormat &recent : m_recent) {
        if (recent.format && recent.align == align && recent.link == link
            && QStringView(recent.local) == localFormat)
            return recent.format;
    }
    lxw_format *fmt = formatByKey(align, localFormat, link);
    m_recent[m_nextRecent] = { align, link, localFormat.toString(), fmt };
    m_nextRecent = (m_nextRecent + 1) % m_recent.size();
    return fmt;
}

lxw_format *XlsxBook::formatByKey(int align, QStringView localFormat, bool link)
{
    const QString key = QString::number(align) + (link ? u'L' : u'-') + localFormat;
    if (lxw_format *known = m_formats.value(key))
        return known;
    lxw_format *fmt = workbook_add_format(m_book);
    if (align >= 0)
        format_set_align(fmt, lxwAlign(align));
    if (!localFormat.isEmpty())
        format_set_num_format(fmt, InvariantNumberFormat(localFormat).toUtf8().constData());
    if (link) {
        format_set_font_color(fmt, 0x0563C1);
        format_set_underline(fmt, LXW_UNDERLINE_SINGLE);
    }
    m_formats.insert(key, fmt);
    return fmt;
}

void XlsxBook::writeText(lxw_worksheet *sheet, int row, int column, QStringView text, lxw_format *fmt)
{
    if (!sheet || text.isEmpty())
        return;
    cellUtf8(text, m_utf8);
    const lxw_error error = worksheet_write_string(
        sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), m_utf8.constData(), fmt);
    if (error != LXW_NO_ERROR)
        fail("writing a cell", error);
}

void XlsxBook::writeTyped(lxw_worksheet *sheet, int row, int column, QStringView text, lxw_format *fmt,
    int align, QStringView localFormat, bool link)
{
    if (!sheet)
        return;
    const TypedInput typed = ParseTypedInput(text);
    switch (typed.kind) {
    case TypedInput::Empty:
        return;
    case TypedInput::Text:
        writeText(sheet, row, column, text, fmt);
        return;
    case TypedInput::Number:
    case TypedInput::DateTime:
        break;
    }
    if (const QStringView own = typedFormat(typed, localFormat); !own.isEmpty())
        fmt = format(align, own, link);
    const lxw_error error = worksheet_write_number(
        sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), typed.number, fmt);
    if (error != LXW_NO_ERROR)
        fail("writing a cell", error);
}

bool XlsxBook::writeLink(lxw_worksheet *sheet, int row, int column, const QString &url, QStringView text,
    int align, QStringView localFormat, bool asText)
{
    if (!sheet)
        return false;
    int &links = m_links[sheet];
    const QByteArray address = url.toUtf8();
    const auto unlinked = [&] {
        if (asText)
            writeText(sheet, row, column, text, format(align, localFormat));
        else
            writeTyped(sheet, row, column, text, format(align, localFormat), align, localFormat);
        return false;
    };
    if (links >= kMaxLinksPerSheet || address.size() > 2079)
        return unlinked();
    lxw_format *fmt = format(align, localFormat, true);
    // The link first: it writes its own text cell (the address), which the cell's own text
    // or number then replaces.
    const lxw_error error = worksheet_write_url_opt(sheet, static_cast<lxw_row_t>(row),
        static_cast<lxw_col_t>(column), address.constData(), fmt, nullptr, nullptr);
    if (error != LXW_NO_ERROR)
        return unlinked();
    ++links;
    if (text.trimmed().isEmpty()) {
        // An empty cell under a link would show the address; it shows nothing instead.
        worksheet_write_blank(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), fmt);
        return true;
    }
    if (asText)
        writeText(sheet, row, column, text, fmt);
    else
        writeTyped(sheet, row, column, text, fmt, align, localFormat, true);
    return true;
}

void XlsxBook::setColumn(lxw_worksheet *sheet, int column, double width, lxw_format *fmt)
{
    if (!sheet)
        return;
    const lxw_error error = worksheet_set_column(
        sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), width, fmt);
    if (error != LXW_NO_ERROR)
        fail("setting a column", error);
}

tessera::Status XlsxBook::close()
{
    if (!m_book)
        return tessera::Error { WorkbookErrorWrite, m_error };
    const lxw_error error = workbook_close(m_book);
    m_book = nullptr;
    if (error != LXW_NO_ERROR)
        fail("writing the file", error);
    if (error == LXW_NO_ERROR && XlsxPackingCalls() == m_packedBefore)
        notePackedByTheLibrary();
    if (!m_error.isEmpty())
        return tessera::Error { WorkbookErrorWrite, m_error };
    return tessera::Ok {};
}
