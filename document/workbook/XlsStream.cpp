#include "document/workbook/XlsStream.h"

#include "document/ErrorCodes.h"

#include <QStringDecoder>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

enum : unsigned char { ResultGrid = 0, ResultFailure = 1 };
enum : unsigned char { CellEmpty = 0, CellNumber = 1, CellText = 2 };

// A failure message is a sentence; anything longer is not one the program wrote.
constexpr qint64 kMaxMessageBytes = 4096;
constexpr qint64 kHeaderBytes = 4 + 4 + 1 + 1 + 4 + 4;

void putU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putText(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    putU32(out, static_cast<quint32>(utf8.size()));
    out.append(utf8);
}

// Reads the stream front to back; every read checks what remains before it takes anything.
class Cursor {
public:
    explicit Cursor(QByteArrayView data)
        : m_data(data)
    { }

    qsizetype remaining() const { return m_data.size() - m_pos; }
    bool u8(unsigned char &v)
    {
        if (remaining() < 1)
            return false;
        v = static_cast<unsigned char>(m_data[m_pos++]);
        return true;
    }
    bool u32(quint32 &v)
    {
        if (remaining() < 4)
            return false;
        v = qFromLittleEndian<quint32>(m_data.data() + m_pos);
        m_pos += 4;
        return true;
    }
    bool f64(double &v)
    {
        if (remaining() < 8)
            return false;
        const quint64 bits = qFromLittleEndian<quint64>(m_data.data() + m_pos);
        std::memcpy(&v, &bits, sizeof v);
        m_pos += 8;
        return true;
    }
    bool bytes(qint64 count, QByteArrayView &v)
    {
        if (count < 0 || count > remaining())
            return false;
        v = m_data.sliced(m_pos, static_cast<qsizetype>(count));
        m_pos += static_cast<qsizetype>(count);
        return true;
    }
    // Strict UTF-8: the program writes what QString::toUtf8 makes, which is always valid.
    bool text(qint64 maxBytes, QString &v)
    {
        quint32 size = 0;
        QByteArrayView raw;
        if (!u32(size) || size > maxBytes || !bytes(size, raw))
            return false;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        v = decode(raw);
        return !decode.hasError();
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

tessera::Error damaged(const QString &what)
{
    return tessera::Error { WorkbookErrorDamaged,
        QStringLiteral("the .xls workbook is damaged and cannot be read (%1)").arg(what) };
}

qint64 saturatingSum(std::initializer_list<qint64> parts)
{
    qint64 sum = 0;
    for (qint64 p : parts) {
        if (p < 0 || __builtin_add_overflow(sum, p, &sum))
            return std::numeric_limits<qint64>::max();
    }
    return sum;
}

qint64 saturatingProduct(qint64 a, qint64 b)
{
    qint64 r = 0;
    if (a < 0 || b < 0 || __builtin_mul_overflow(a, b, &r))
        return std::numeric_limits<qint64>::max();
    return r;
}

} // namespace

QByteArray WriteXlsStream(const tessera::Result<WorkbookGrid> &result)
{
    QByteArray out(kXlsStreamMagic, 4);
    putU32(out, kXlsStreamVersion);
    if (!result.ok()) {
        out.append(static_cast<char>(ResultFailure));
        putU32(out, static_cast<quint32>(result.error().code));
        QString message = result.error().message;
        message.truncate(static_cast<qsizetype>(kMaxMessageBytes / 3));
        putText(out, message);
        return out;
    }
    const WorkbookGrid &grid = *result;
    out.append(static_cast<char>(ResultGrid));
    out.append(static_cast<char>(grid.date1904 ? 1 : 0));
    putU32(out, static_cast<quint32>(grid.rows));
    putU32(out, static_cast<quint32>(grid.columns));
    for (const WorkbookValue &v : grid.cells) {
        switch (v.kind) {
        case WorkbookValue::Number: {
            out.append(static_cast<char>(CellNumber));
            quint64 bits = 0;
            std::memcpy(&bits, &v.number, sizeof bits);
            char b[8];
            qToLittleEndian(bits, b);
            out.append(b, 8);
            break;
        }
        case WorkbookValue::Text:
            out.append(static_cast<char>(CellText));
            putText(out, v.text);
            break;
        case WorkbookValue::Empty:
            out.append(static_cast<char>(CellEmpty));
            break;
        }
    }
    return out;
}

tessera::Result<WorkbookGrid> ReadXlsStream(QByteArrayView stream, const WorkbookLimits &limits)
{
    Cursor in(stream);
    QByteArrayView magic;
    quint32 version = 0;
    unsigned char result = 0;
    if (!in.bytes(4, magic) || magic != QByteArrayView(kXlsStreamMagic, 4))
        return damaged(QStringLiteral("the reader wrote no result"));
    if (!in.u32(version) || version != kXlsStreamVersion)
        return damaged(
            QStringLiteral("the reader wrote version %1, not %2").arg(version).arg(kXlsStreamVersion));
    if (!in.u8(result))
        return damaged(QStringLiteral("the reader's result ends early"));

    if (result == ResultFailure) {
        quint32 code = 0;
        QString message;
        if (!in.u32(code) || !in.text(kMaxMessageBytes, message))
            return damaged(QStringLiteral("the reader's failure ends early or is malformed"));
        // Only the readers' own failures travel; an unknown code or a blank message is noise.
        if (code < WorkbookErrorTooFewColumns || code > WorkbookErrorReaderMissing || message.isEmpty())
            return damaged(QStringLiteral("the reader's failure is malformed"));
        if (in.remaining() != 0)
            return damaged(QStringLiteral("the reader wrote more than its result"));
        return tessera::Error { static_cast<int>(code), message };
    }
    if (result != ResultGrid)
        return damaged(QStringLiteral("the reader wrote an unknown result"));

    unsigned char date1904 = 0;
    quint32 rows = 0, columns = 0;
    if (!in.u8(date1904) || date1904 > 1 || !in.u32(rows) || !in.u32(columns))
        return damaged(QStringLiteral("the reader's grid ends early"));
    if ((rows == 0) != (columns == 0) || columns > static_cast<quint32>(std::max(limits.maxColumns, 0))
        || static_cast<qint64>(rows) * columns > limits.maxCells)
        return damaged(
            QStringLiteral("the reader's grid claims %1 rows and %2 columns").arg(rows).arg(columns));
    const qint64 count = static_cast<qint64>(rows) * columns;
    // Every cell takes at least its kind byte, so a count past the bytes left is a lie that
    // must not size an allocation.
    if (count > in.remaining())
        return damaged(QStringLiteral("the reader's grid ends early"));

    WorkbookGrid grid;
    grid.date1904 = date1904 != 0;
    grid.rows = static_cast<int>(rows);
    grid.columns = static_cast<int>(columns);
    grid.cells.resize(static_cast<size_t>(count));
    qint64 textUnits = 0;
    for (WorkbookValue &v : grid.cells) {
        unsigned char kind = 0;
        if (!in.u8(kind))
            return damaged(QStringLiteral("the reader's grid ends early"));
        switch (kind) {
        case CellEmpty:
            break;
        case CellNumber:
            if (!in.f64(v.number))
                return damaged(QStringLiteral("the reader's grid ends early"));
            if (!std::isfinite(v.number))
                return damaged(QStringLiteral("the reader's grid holds a number that is none"));
            v.kind = WorkbookValue::Number;
            break;
        case CellText:
            if (!in.text(in.remaining(), v.text) || v.text.isEmpty())
                return damaged(QStringLiteral("the reader's grid holds a malformed text"));
            textUnits += v.text.size();
            if (textUnits > limits.maxTextUnits)
                return damaged(QStringLiteral("the reader's grid holds more text than allowed"));
            v.kind = WorkbookValue::Text;
            break;
        default:
            return damaged(QStringLiteral("the reader's grid holds an unknown cell"));
        }
    }
    if (in.remaining() != 0)
        return damaged(QStringLiteral("the reader wrote more than its result"));
    return grid;
}

qint64 XlsStreamBound(const WorkbookLimits &limits)
{
    // A text cell costs a kind byte, a length and at most three UTF-8 bytes a UTF-16 unit;
    // a number cell a kind byte and eight.
    return saturatingSum({ kHeaderBytes, 8 + kMaxMessageBytes, saturatingProduct(limits.maxCells, 1 + 8),
        saturatingProduct(limits.maxCells, 4), saturatingProduct(limits.maxTextUnits, 3) });
}

namespace {

struct LimitOption {
    const char *name;
    qint64 WorkbookLimits::*field;
};

const LimitOption kLimitOptions[] = {
    { "--max-part-bytes", &WorkbookLimits::maxPartBytes },
    { "--max-cells", &WorkbookLimits::maxCells },
    { "--max-shared-strings", &WorkbookLimits::maxSharedStrings },
    { "--max-text-units", &WorkbookLimits::maxTextUnits },
};
constexpr const char *kColumnsOption = "--max-columns";

} // namespace

QStringList XlsReaderArguments(const QString &path, const WorkbookLimits &limits)
{
    QStringList args;
    for (const LimitOption &o : kLimitOptions)
        args << QLatin1StringView(o.name) << QString::number(limits.*o.field);
    args << QLatin1StringView(kColumnsOption) << QString::number(limits.maxColumns);
    // The path comes after "--", so that a file named like an option is still a file.
    args << QStringLiteral("--") << path;
    return args;
}

tessera::Result<XlsReaderRequest> ParseXlsReaderArguments(const QStringList &arguments)
{
    XlsReaderRequest request;
    auto usage = [](const QString &what) {
        return tessera::Error { 2,
            QStringLiteral("usage: quotra-xls-reader [--max-cells N ...] -- FILE: %1").arg(what) };
    };
    qsizetype i = 0;
    // Options come in pairs of name and value, up to the "--" before the file.
    for (; i < arguments.size(); i += 2) {
        const QString &a = arguments[i];
        if (a == u"--")
            break;
        if (i + 1 >= arguments.size())
            return usage(QStringLiteral("%1 has no value").arg(a));
        bool ok = false;
        const qint64 value = arguments[i + 1].toLongLong(&ok);
        if (!ok || value < 0)
            return usage(QStringLiteral("%1 wants a whole number of 0 or more").arg(a));
        bool known = false;
        for (const LimitOption &o : kLimitOptions) {
            if (a == QLatin1StringView(o.name)) {
                request.limits.*o.field = value;
                known = true;
            }
        }
        if (a == QLatin1StringView(kColumnsOption)) {
            if (value > std::numeric_limits<int>::max())
                return usage(QStringLiteral("%1 is too large").arg(a));
            request.limits.maxColumns = static_cast<int>(value);
            known = true;
        }
        if (!known)
            return usage(QStringLiteral("unknown option %1").arg(a));
    }
    if (i + 2 != arguments.size() || arguments[i + 1].isEmpty())
        return usage(QStringLiteral("one file after --"));
    request.path = arguments[i + 1];
    return request;
}
