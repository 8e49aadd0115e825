#include "document/BinaryArchive.h"

#include "corelib/TextCodec.h"
#include "document/SafeSave.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>
#include <utility>

namespace {
constexpr qsizetype kFlushChunk = 1 << 16;
} // namespace

void BinaryReader::fail(int code, const QString &what)
{
    if (!ok())
        return;
    m_error.code = code;
    m_error.message = QStringLiteral("offset %1: %2").arg(m_offset).arg(what);
}

bool BinaryReader::need(qsizetype bytes, const char *what)
{
    if (!ok())
        return false;
    if (remaining() >= bytes)
        return true;
    fail(ListErrorTruncated,
        QStringLiteral("unexpected end of data reading %1 (%2 bytes needed, %3 left)")
            .arg(QLatin1String(what))
            .arg(bytes)
            .arg(remaining()));
    return false;
}

double BinaryReader::readF64()
{
    const quint64 bits = readU64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The length forms: one byte below 0xff; else 0xff and a u16 below 0xfffe; else 0xff, 0xffff
// and a u32 below 0xffffffff; else all of those and a u64. A u16 of 0xfffe right after the
// first 0xff is the UTF-16 marker, after which the length starts over.
quint64 BinaryReader::readLengthAfter(quint8 first, bool *unicode)
{
    if (first < 0xff)
        return first;
    quint16 w = readU16();
    if (w == 0xfffe && !*unicode) {
        *unicode = true;
        const quint8 b = readU8();
        if (b < 0xff)
            return b;
        w = readU16();
    }
    if (w < 0xfffe)
        return w;
    const quint32 d = readU32();
    if (d < 0xffffffffu)
        return d;
    return readU64();
}

const char *BinaryReader::takeString(qsizetype *length, bool *unicode)
{
    *length = 0;
    const qsizetype start = m_offset;
    const quint64 n = readLengthAfter(readU8(), unicode);
    if (!ok())
        return nullptr;
    const quint64 left = static_cast<quint64>(remaining());
    const quint64 bytes = *unicode ? n * 2 : n;
    if (n > left || bytes > left) {
        m_offset = start;
        fail(ListErrorTruncated,
            QStringLiteral("string length %1 %2 exceeds the %3 bytes left")
                .arg(n)
                .arg(*unicode ? QLatin1String("characters") : QLatin1String("bytes"))
                .arg(left));
        return nullptr;
    }
    const char *p = m_data.data() + m_offset;
    *length = static_cast<qsizetype>(n);
    m_offset += static_cast<qsizetype>(bytes);
    return p;
}

namespace {

// UTF-16LE code units into `to`, which has room for n of them.
void copyUtf16Le(QChar *to, const char *p, qsizetype n)
{
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(to, p, static_cast<size_t>(n) * 2);
    } else {
        for (qsizetype i = 0; i < n; ++i)
            to[i] = QChar(qFromLittleEndian<quint16>(p + 2 * i));
    }
}

} // namespace

QString BinaryReader::readString()
{
    bool unicode = false;
    qsizetype n = 0;
    const char *p = takeString(&n, &unicode);
    if (n == 0)
        return {};
    if (!unicode)
        return tessera::DecodeAnsi(QByteArray(p, n));
    QString s(n, Qt::Uninitialized);
    copyUtf16Le(s.data(), p, n);
    return s;
}

void BinaryReader::appendString(QString &to)
{
    bool unicode = false;
    qsizetype n = 0;
    const char *p = takeString(&n, &unicode);
    if (n == 0)
        return;
    if (!unicode) {
        to += tessera::DecodeAnsi(QByteArray(p, n));
        return;
    }
    const qsizetype at = to.size();
    to.resize(at + n);
    copyUtf16Le(to.data() + at, p, n);
}

void BinaryWriter::writeF64(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    writeU64(bits);
}

void BinaryWriter::writeString(QStringView text)
{
    const quint64 n = static_cast<quint64>(text.size());
    writeU8(0xff);
    writeU16(0xfffe);
    if (n < 0xff) {
        writeU8(static_cast<quint8>(n));
    } else {
        writeU8(0xff);
        if (n < 0xfffe) {
            writeU16(static_cast<quint16>(n));
        } else {
            writeU16(0xffff);
            if (n < 0xffffffffu) {
                writeU32(static_cast<quint32>(n));
            } else {
                writeU32(0xffffffffu);
                writeU64(n);
            }
        }
    }
    if (text.isEmpty())
        return; // an empty view may have no data pointer at all
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(grow(text.size() * 2), text.utf16(), static_cast<size_t>(text.size()) * 2);
    } else {
        for (QChar c : text)
            writeU16(c.unicode());
    }
}

QByteArray BinaryWriter::takeBuffer()
{
    m_buffer.truncate(m_used);
    m_used = 0;
    return std::exchange(m_buffer, QByteArray());
}

bool BinaryWriter::flushIfLarge()
{
    if (!m_device || m_used < kFlushChunk)
        return true;
    return flush();
}

void BinaryWriter::makeRoom(qsizetype bytes)
{
    // After a failure the buffered bytes go nowhere: drop them rather than grow.
    if (!ok())
        m_used = 0;
    if (m_buffer.size() - m_used < bytes)
        m_buffer.resize(std::max(2 * m_buffer.size(), m_used + bytes + 4096));
}

bool BinaryWriter::flush()
{
    if (!ok()) {
        m_used = 0;
        return false;
    }
    if (!m_device || m_used == 0)
        return true;
    if (!WriteAll(*m_device, m_buffer.constData(), m_used))
        m_error = { ListErrorIo, DeviceErrorReason(*m_device) };
    m_used = 0; // the buffer keeps its size for the next chunk
    return ok();
}
