#include "document/workbook/XlsxSheetScan.h"

#include "document/workbook/TypedInput.h"

#include <QDateTime>

#include <charconv>
#include <cstring>
#include <string_view>

namespace {

template<typename Ch> bool parseReference(const Ch *s, qsizetype n, int &column, int &row)
{
    qsizetype i = 0;
    qint64 col = 0;
    while (i < n && s[i] >= 'A' && s[i] <= 'Z') {
        col = col * 26 + (s[i] - 'A' + 1);
        if (col > kSheetMaxColumn)
            return false;
        ++i;
    }
    if (i == 0 || i == n)
        return false;
    qint64 r = 0;
    for (; i < n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        r = r * 10 + (s[i] - '0');
        if (r > kSheetMaxRow)
            return false;
    }
    if (r < 1)
        return false;
    column = static_cast<int>(col - 1);
    row = static_cast<int>(r - 1);
    return true;
}

// An ISO 8601 date or date-time of a "d" cell as a serial number of the 1900 system.
std::optional<double> isoDateSerial(QStringView text)
{
    QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    if (!time.isValid()) {
        const QDate day = QDate::fromString(text.toString(), Qt::ISODate);
        if (!day.isValid())
            return std::nullopt;
        return DateSerial1900(day);
    }
    std::optional<double> serial = DateSerial1900(time.date());
    if (!serial)
        return std::nullopt;
    return *serial + time.time().msecsSinceStartOfDay() / 86400000.0;
}

// ---- The quick scan

using Bytes = std::string_view;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
        || c == '.' || c == ':';
}

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

// Well-formed UTF-8 of characters XML allows. A carriage return is refused as well: XML
// turns it into a line feed, which the full reader does.
bool plainText(Bytes text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            if (b < 0x20 && b != '\t' && b != '\n')
                return false;
            ++p;
            continue;
        }
        int more = 0;
        char32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            more = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        const char32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (c < least || !isXmlChar(c))
            return false;
        p += more + 1;
    }
    return true;
}

// Text with its entity and character references replaced; nothing for a reference XML
// does not define or a "]]>", which may not stand in text.
std::optional<QString> decodeText(Bytes text)
{
    if (text.find("]]>") != Bytes::npos)
        return std::nullopt;
    const size_t amp = text.find('&');
    if (amp == Bytes::npos)
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    std::string out(text.substr(0, amp));
    for (size_t i = amp; i < text.size();) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        const size_t semi = text.find(';', i);
        if (semi == Bytes::npos)
            return std::nullopt;
        const Bytes ref = text.substr(i + 1, semi - i - 1);
        i = semi + 1;
        if (ref == "lt")
            out += '<';
        else if (ref == "gt")
            out += '>';
        else if (ref == "amp")
            out += '&';
        else if (ref == "quot")
            out += '"';
        else if (ref == "apos")
            out += '\'';
        else if (ref.size() >= 2 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const Bytes digits = ref.substr(hex ? 2 : 1);
            unsigned long code = 0;
            const auto [ptr, ec]
                = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            if (digits.empty() || ec != std::errc() || ptr != digits.data() + digits.size() || code > 0x10FFFF
                || !isXmlChar(static_cast<char32_t>(code)))
                return std::nullopt;
            const char32_t c = static_cast<char32_t>(code);
            const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
            out.append(utf8.constData(), static_cast<size_t>(utf8.size()));
        } else {
            return std::nullopt;
        }
    }
    return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

SheetCellType typeOf(Bytes t)
{
    if (t.empty() || t == "n")
        return SheetCellType::Number;
    if (t == "s")
        return SheetCellType::Shared;
    if (t == "str")
        return SheetCellType::String;
    if (t == "inlineStr")
        return SheetCellType::Inline;
    if (t == "d")
        return SheetCellType::Date;
    return SheetCellType::Other;
}

struct Attribute {
    Bytes name;
    Bytes value;
};

class Scanner {
public:
    Scanner(Bytes xml, const std::vector<QString> &shared, GridBuilder &grid)
        : m_xml(xml)
        , m_shared(shared)
        , m_grid(grid)
    { }

    SheetScan run();

private:
    bool startTag(size_t &i);
    bool endTag(size_t &i);
    bool text(Bytes chunk);
    bool startElement(Bytes name, bool empty);
    bool endElement(Bytes name);
    bool finishCell();
    bool addValue();

    Bytes m_xml;
    const std::vector<QString> &m_shared;
    GridBuilder &m_grid;
    bool m_stopped = false;

    std::vector<Bytes> m_open; // element names from the root
    std::vector<std::pair<Bytes, size_t>> m_prefixes; // declared prefixes and their depth
    std::vector<Attribute> m_attributes;
    bool m_rootDone = false;

    int m_row = -1;
    int m_column = -1;
    // Inside a cell: its depth in m_open, type, and what its children held.
    size_t m_cellDepth = 0;
    SheetCellType m_type = SheetCellType::Number;
    Bytes m_typeText;
    quint32 m_style = 0;
    enum Capture { None, Value, InlineText } m_capture = None;
    size_t m_captureDepth = 0;
    bool m_captured = false; // a text chunk already taken for the element captured
    Bytes m_value;
    bool m_haveValue = false;
    QString m_inline;
};

bool Scanner::text(Bytes chunk)
{
    if (m_open.empty()) {
        for (char c : chunk) {
            if (!isBlank(c) || c == '\r')
                return false;
        }
        return true;
    }
    if (m_capture != None && m_open.size() == m_captureDepth) {
        if (m_captured)
            return false; // text split by something: left to the full reader
        m_captured = true;
        if (m_capture == Value) {
            m_value = chunk;
            return chunk.find("]]>") == Bytes::npos;
        }
        std::optional<QString> decoded = decodeText(chunk);
        if (!decoded)
            return false;
        m_inline += *decoded;
        return true;
    }
    // Text the sheet does not use must still be well-formed.
    if (chunk.find('&') != Bytes::npos || chunk.find(']') != Bytes::npos)
        return decodeText(chunk).has_value();
    return true;
}

bool Scanner::addValue()
{
    // Numbers and shared-string indexes in plain ASCII are read from the bytes; anything
    // else goes through the common rule as text.
    const Bytes v = m_value;
    if (m_haveValue && v.find('&') == Bytes::npos && !v.empty() && !isBlank(v.front())
        && !isBlank(v.back())) {
        if (m_type == SheetCellType::Number) {
            double number = 0;
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), number);
            if (ec == std::errc() && ptr == v.data() + v.size())
                return m_grid.addNumber(m_row, m_column, number, m_style);
        } else if (m_type == SheetCellType::Shared) {
            qint64 index = 0;
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), index);
            if (ec == std::errc() && ptr == v.data() + v.size()) {
                if (index >= 0 && index < static_cast<qint64>(m_shared.size()))
                    return m_grid.addText(m_row, m_column, m_shared[static_cast<size_t>(index)]);
                return true;
            }
        }
    }
    QString value;
    if (m_haveValue) {
        std::optional<QString> decoded = decodeText(v);
        if (!decoded)
            return false;
        value = std::move(*decoded);
    }
    return AddSheetCell(
        m_grid, m_shared, m_row, m_column, m_type, value, m_haveValue, std::move(m_inline), m_style);
}

bool Scanner::finishCell()
{
    if (m_type == SheetCellType::Inline || m_haveValue) {
        const bool kept = addValue();
        if (!kept && !m_grid.error()) {
            m_stopped = true;
            return false;
        }
        if (!kept)
            return false; // a reference the full reader reports
    }
    m_cellDepth = 0;
    return true;
}

bool Scanner::startElement(Bytes name, bool empty)
{
    if (m_cellDepth > 0) {
        // A child of a cell: the value, the texts of an inline string, or something to skip.
        if (m_capture != None)
            return false; // an element inside a value or text
        if (name == "rPh")
            return false;
        if (name == "v") {
            m_capture = Value;
            m_haveValue = true;
            m_value = {};
        } else if (name == "t" && m_type == SheetCellType::Inline) {
            m_capture = InlineText;
        } else {
            return true;
        }
        m_captureDepth = m_open.size();
        m_captured = false;
        if (empty)
            m_capture = None;
        return true;
    }
    if (name == "row") {
        Bytes r;
        for (const Attribute &a : m_attributes) {
            if (a.name == "r")
                r = a.value;
        }
        if (r.empty()) {
            ++m_row;
        } else {
            int number = 0;
            const auto [ptr, ec] = std::from_chars(r.data(), r.data() + r.size(), number);
            if (ec != std::errc() || ptr != r.data() + r.size() || r.front() == '-' || number < 1
                || number > kSheetMaxRow)
                return false;
            m_row = number - 1;
        }
        m_column = -1;
        return true;
    }
    if (name != "c")
        return true;
    Bytes ref;
    Bytes style;
    m_typeText = {};
    for (const Attribute &a : m_attributes) {
        if (a.name == "r")
            ref = a.value;
        else if (a.name == "t")
            m_typeText = a.value;
        else if (a.name == "s")
            style = a.value;
    }
    if (m_typeText.find('&') != Bytes::npos)
        return false;
    m_style = 0;
    if (!style.empty()) {
        const auto [ptr, ec] = std::from_chars(style.data(), style.data() + style.size(), m_style);
        if (ec != std::errc() || ptr != style.data() + style.size())
            return false; // left to the full reader, which reads it as the default style
    }
    m_type = typeOf(m_typeText);
    if (ref.empty()) {
        ++m_column;
        if (m_row < 0)
            m_row = 0;
    } else {
        int r = 0;
        if (!parseReference(ref.data(), static_cast<qsizetype>(ref.size()), m_column, r))
            return false;
        m_row = r;
    }
    if (m_column >= kSheetMaxColumn || m_row >= kSheetMaxRow)
        return false;
    m_haveValue = false;
    m_value = {};
    m_inline.clear();
    m_capture = None;
    if (empty)
        return m_type == SheetCellType::Inline ? finishCell() : true;
    m_cellDepth = m_open.size();
    return true;
}

bool Scanner::endElement(Bytes name)
{
    Q_UNUSED(name);
    if (m_capture != None && m_open.size() + 1 == m_captureDepth)
        m_capture = None;
    if (m_cellDepth > 0 && m_open.size() + 1 == m_cellDepth)
        return finishCell();
    return true;
}

bool Scanner::startTag(size_t &i)
{
    // At the character after '<'.
    const size_t start = i;
    while (i < m_xml.size() && isNameChar(m_xml[i]))
        ++i;
    const Bytes name = m_xml.substr(start, i - start);
    if (name.empty() || name.find(':') != Bytes::npos || (name[0] >= '0' && name[0] <= '9') || name[0] == '-'
        || name[0] == '.')
        return false;
    if (m_rootDone)
        return false; // a second root
    m_attributes.clear();
    bool empty = false;
    for (;;) {
        const size_t before = i;
        while (i < m_xml.size() && isBlank(m_xml[i]))
            ++i;
        if (i >= m_xml.size())
            return false;
        if (m_xml[i] == '>') {
            ++i;
            break;
        }
        if (m_xml[i] == '/') {
            if (i + 1 >= m_xml.size() || m_xml[i + 1] != '>')
                return false;
            i += 2;
            empty = true;
            break;
        }
        if (i == before)
            return false; // attributes are separated by blanks
        const size_t nameStart = i;
        while (i < m_xml.size() && isNameChar(m_xml[i]))
            ++i;
        const Bytes attrName = m_xml.substr(nameStart, i - nameStart);
        if (attrName.empty())
            return false;
        while (i < m_xml.size() && isBlank(m_xml[i]))
            ++i;
        if (i >= m_xml.size() || m_xml[i] != '=')
            return false;
        ++i;
        while (i < m_xml.size() && isBlank(m_xml[i]))
            ++i;
        if (i >= m_xml.size() || (m_xml[i] != '"' && m_xml[i] != '\''))
            return false;
        const char quote = m_xml[i++];
        const size_t close = m_xml.find(quote, i);
        if (close == Bytes::npos)
            return false;
        const Bytes value = m_xml.substr(i, close - i);
        i = close + 1;
        if (value.find('<') != Bytes::npos || value.find('\t') != Bytes::npos
            || value.find('\n') != Bytes::npos)
            return false; // normalised by XML; left to the full reader
        if (value.find('&') != Bytes::npos && !decodeText(value))
            return false;
        for (const Attribute &a : m_attributes) {
            if (a.name == attrName)
                return false;
        }
        m_attributes.push_back({ attrName, value });
    }
    // Prefixed attributes need a prefix declared here or above.
    const size_t depth = m_open.size() + 1;
    for (const Attribute &a : m_attributes) {
        if (a.name.substr(0, 6) == "xmlns:")
            m_prefixes.emplace_back(a.name.substr(6), depth);
    }
    for (const Attribute &a : m_attributes) {
        const size_t colon = a.name.find(':');
        if (colon == Bytes::npos)
            continue;
        const Bytes prefix = a.name.substr(0, colon);
        if (prefix == "xmlns" || prefix == "xml")
            continue;
        bool declared = false;
        for (const auto &[known, at] : m_prefixes)
            declared = declared || known == prefix;
        if (!declared || a.name.find(':', colon + 1) != Bytes::npos)
            return false;
    }
    m_open.push_back(name);
    if (!startElement(name, empty))
        return false;
    if (empty) {
        m_open.pop_back();
        while (!m_prefixes.empty() && m_prefixes.back().second > m_open.size())
            m_prefixes.pop_back();
        if (m_open.empty())
            m_rootDone = true;
    }
    return true;
}

bool Scanner::endTag(size_t &i)
{
    // At the character after "</".
    const size_t start = i;
    while (i < m_xml.size() && isNameChar(m_xml[i]))
        ++i;
    const Bytes name = m_xml.substr(start, i - start);
    while (i < m_xml.size() && isBlank(m_xml[i]))
        ++i;
    if (i >= m_xml.size() || m_xml[i] != '>' || m_open.empty() || m_open.back() != name)
        return false;
    ++i;
    m_open.pop_back();
    while (!m_prefixes.empty() && m_prefixes.back().second > m_open.size())
        m_prefixes.pop_back();
    if (m_open.empty())
        m_rootDone = true;
    return endElement(name);
}

SheetScan Scanner::run()
{
    if (!plainText(m_xml))
        return SheetScan::Unsupported;
    size_t i = 0;
    if (m_xml.substr(0, 5) == "<?xml") {
        const size_t end = m_xml.find("?>");
        if (end == Bytes::npos)
            return SheetScan::Unsupported;
        const Bytes declaration = m_xml.substr(0, end);
        const size_t encoding = declaration.find("encoding");
        if (encoding != Bytes::npos) {
            const Bytes rest = declaration.substr(encoding);
            if (rest.find("\"UTF-8\"") == Bytes::npos && rest.find("'UTF-8'") == Bytes::npos
                && rest.find("\"utf-8\"") == Bytes::npos && rest.find("'utf-8'") == Bytes::npos)
                return SheetScan::Unsupported;
        }
        i = end + 2;
    }
    while (i < m_xml.size()) {
        const size_t lt = m_xml.find('<', i);
        const Bytes chunk = m_xml.substr(i, (lt == Bytes::npos ? m_xml.size() : lt) - i);
        if (!chunk.empty() && !text(chunk))
            return SheetScan::Unsupported;
        if (lt == Bytes::npos)
            break;
        i = lt + 1;
        if (i >= m_xml.size())
            return SheetScan::Unsupported;
        bool ok = false;
        if (m_xml[i] == '/') {
            ++i;
            ok = endTag(i);
        } else if (m_xml[i] != '!' && m_xml[i] != '?') {
            ok = startTag(i);
        }
        if (!ok)
            return m_stopped ? SheetScan::Stopped : SheetScan::Unsupported;
    }
    if (!m_rootDone || !m_open.empty())
        return SheetScan::Unsupported;
    return SheetScan::Done;
}

} // namespace

SheetCellType SheetCellTypeOf(QStringView t)
{
    if (t.isEmpty() || t == u"n")
        return SheetCellType::Number;
    if (t == u"s")
        return SheetCellType::Shared;
    if (t == u"str")
        return SheetCellType::String;
    if (t == u"inlineStr")
        return SheetCellType::Inline;
    if (t == u"d")
        return SheetCellType::Date;
    return SheetCellType::Other;
}

bool ParseCellReference(QStringView ref, int &column, int &row)
{
    return parseReference(ref.utf16(), ref.size(), column, row);
}

std::optional<double> ParseCellNumber(QStringView text)
{
    const QByteArray ascii = text.trimmed().toLatin1();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
    if (ec != std::errc() || ptr != ascii.constData() + ascii.size() || ascii.isEmpty())
        return std::nullopt;
    return value;
}

QString DecodeCellEscapes(QString text)
{
    const auto hexValue = [](QChar c) -> int {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if (u >= u'a' && u <= u'f')
            return u - u'a' + 10;
        if (u >= u'A' && u <= u'F')
            return u - u'A' + 10;
        return -1;
    };
    qsizetype at = text.indexOf(u"_x");
    if (at < 0)
        return text;
    QString out;
    out.reserve(text.size());
    out.append(QStringView(text).first(at));
    while (at < text.size()) {
        if (at + 6 < text.size() && text[at] == u'_' && text[at + 1] == u'x' && text[at + 6] == u'_') {
            int code = 0;
            for (qsizetype k = 2; k < 6 && code >= 0; ++k) {
                const int digit = hexValue(text[at + k]);
                code = digit < 0 ? -1 : code * 16 + digit;
            }
            if (code >= 0) {
                out += QChar(static_cast<char16_t>(code));
                at += 7;
                continue;
            }
        }
        out += text[at++];
    }
    return out;
}

bool AddSheetCell(GridBuilder &grid, const std::vector<QString> &shared, int row, int column,
    SheetCellType type, QStringView value, bool haveValue, QString inlineText, quint32 style)
{
    if (type == SheetCellType::Inline)
        return grid.addText(row, column, DecodeCellEscapes(std::move(inlineText)));
    if (!haveValue)
        return true;
    switch (type) {
    case SheetCellType::Shared: {
        bool ok = false;
        const qint64 index = value.trimmed().toLongLong(&ok);
        if (ok && index >= 0 && index < static_cast<qint64>(shared.size()))
            return grid.addText(row, column, shared[static_cast<size_t>(index)]);
        return true;
    }
    case SheetCellType::String:
        return grid.addText(row, column, value.toString());
    case SheetCellType::Date:
        if (std::optional<double> serial = isoDateSerial(value))
            return grid.addNumber(row, column, *serial, style);
        return true;
    case SheetCellType::Number:
        if (std::optional<double> number = ParseCellNumber(value))
            return grid.addNumber(row, column, *number, style);
        return true;
    default:
        return true; // booleans ("b"), errors ("e") and unknown types count as empty
    }
}

SheetScan ScanSheetXml(QByteArrayView xml, const std::vector<QString> &shared, GridBuilder &grid)
{
    Scanner scanner(Bytes(xml.data(), static_cast<size_t>(xml.size())), shared, grid);
    return scanner.run();
}
