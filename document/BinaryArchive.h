#pragma once

#include "corelib/Result.h"
#include "document/ErrorCodes.h" // ListFileError

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtEndian>

#include <algorithm>

class QIODevice;

// Little-endian reader over a byte buffer with a sticky error: the first failed read records
// where and why, later reads return zero values without moving, and the caller checks ok()
// once per record instead of after every field.
class BinaryReader {
public:
    explicit BinaryReader(QByteArrayView data)
        : m_data(data)
    { }

    quint8 readU8()
    {
        if (ok() && m_offset < m_data.size())
            return static_cast<quint8>(m_data[m_offset++]);
        return readSlow<quint8>("a u8");
    }
    quint16 readU16() { return readFixed<quint16>("a u16"); }
    quint32 readU32() { return readFixed<quint32>("a u32"); }
    quint64 readU64() { return readFixed<quint64>("a 64-bit value"); }
    qint64 readI64() { return static_cast<qint64>(readU64()); }
    double readF64();
    // A length-prefixed string: UTF-16LE after the marker ff fe ff, else 8-bit text in the
    // legacy code page (CP932). Lengths are checked against the bytes left before copying.
    QString readString();
    // The same string appended to `to`; nothing is appended after a failure.
    void appendString(QString &to);

    bool ok() const { return m_error.code == ListErrorNone; }
    const tessera::Error &error() const { return m_error; }
    qsizetype offset() const { return m_offset; }
    qsizetype remaining() const { return m_data.size() - m_offset; }
    bool atEnd() const { return m_offset >= m_data.size(); }

    // Records a failure at the current offset unless one is already recorded.
    void fail(int code, const QString &what);

private:
    template<typename T> T readFixed(const char *what)
    {
        if (ok() && m_data.size() - m_offset >= qsizetype(sizeof(T))) {
            const T v = qFromLittleEndian<T>(m_data.data() + m_offset);
            m_offset += qsizetype(sizeof(T));
            return v;
        }
        return readSlow<T>(what);
    }
    // The failing path of the reads above: records the error, yields zero.
    template<typename T> T readSlow(const char *what)
    {
        need(qsizetype(sizeof(T)), what);
        return 0;
    }
    bool need(qsizetype bytes, const char *what);
    quint64 readLengthAfter(quint8 first, bool *unicode);
    // Checks a string's length and steps over it: its bytes and length in characters (0 after
    // a failure), whether it is UTF-16.
    const char *takeString(qsizetype *length, bool *unicode);

    QByteArrayView m_data;
    qsizetype m_offset = 0;
    tessera::Error m_error;
};

// Little-endian writer into a growing buffer. With a device attached the buffer is handed
// on in large chunks by flushIfLarge()/flush(), so a big list never sits in memory twice.
// Its status is sticky like the reader's (and QDataStream's write status): once the device
// refused a chunk, nothing more reaches it, the first error is kept, and the caller checks
// ok() once at the end.
class BinaryWriter {
public:
    BinaryWriter() = default;
    explicit BinaryWriter(QIODevice *device)
        : m_device(device)
    { }

    void writeU8(quint8 v) { *grow(1) = static_cast<char>(v); }
    void writeU16(quint16 v) { qToLittleEndian(v, grow(2)); }
    void writeU32(quint32 v) { qToLittleEndian(v, grow(4)); }
    void writeU64(quint64 v) { qToLittleEndian(v, grow(8)); }
    void writeI64(qint64 v) { writeU64(static_cast<quint64>(v)); }
    void writeF64(double v);
    // Always UTF-16LE with the marker, the length in the shortest form.
    void writeString(QStringView text);

    // The bytes written and not yet flushed.
    QByteArray takeBuffer();
    // Writes the buffer to the device when it has grown past the chunk size.
    bool flushIfLarge();
    // Writes whatever is buffered; false when the device refused it now or before.
    bool flush();

    bool ok() const { return m_error.code == ListErrorNone; }
    // The first failure: ListErrorIo with the device's reason ("file too large").
    const tessera::Error &error() const { return m_error; }

private:
    // Room for `bytes` more at the end of the buffer, which is kept at its capacity and
    // filled up to m_used, so appending never goes through QByteArray's own bookkeeping.
    char *grow(qsizetype bytes)
    {
        if (m_buffer.size() - m_used < bytes)
            makeRoom(bytes);
        char *p = m_buffer.data() + m_used;
        m_used += bytes;
        return p;
    }
    void makeRoom(qsizetype bytes);

    QIODevice *m_device = nullptr;
    tessera::Error m_error;
    QByteArray m_buffer;
    qsizetype m_used = 0;
};
