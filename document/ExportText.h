#pragma once

#include "document/ErrorCodes.h" // ExportError

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>

#include <algorithm>
#include <cstring>
#include <functional>

class QIODevice;
class TableSource;

// Called after each exported row with the rows done so far and the row count.
using ExportProgress = std::function<void(int done, int total)>;

// The text an export writes for a cell: the display text trimmed at both ends, and in the
// memo column each CR LF turned into "<br>" so that a row stays on one line.
QString ExportCellText(const TableSource &table, int row, int column);
// The same as a view into `cell`, for the export loops: only a memo holding CR LF is
// copied, into `scratch`.
QStringView ExportCellView(QStringView cell, bool memoColumn, QString &scratch);

// UTF-8 output with a byte order mark, handed to the device in large chunks.
class Utf8Sink {
public:
    explicit Utf8Sink(QIODevice &device);

    void append(QStringView text)
    {
        // Cell texts are mostly ASCII (codes, numbers): those units are copied as bytes, and
        // the encoder takes the rest from the first other character on.
        reserve(3 * text.size());
        char *out = m_buffer.data() + m_used;
        const char16_t *p = text.utf16();
        const char16_t *end = p + text.size();
        while (p != end && *p < 0x80)
            *out++ = static_cast<char>(*p++);
        if (p != end)
            out = m_encoder.appendToBuffer(out, QStringView(p, end));
        m_used = out - m_buffer.constData();
    }
    void append(QLatin1StringView text)
    {
        reserve(text.size());
        std::memcpy(m_buffer.data() + m_used, text.data(), static_cast<size_t>(text.size()));
        m_used += text.size();
    }
    // Writes out the buffer once it is large; false after a failed write.
    bool flushIfLarge();
    bool flush();

private:
    void reserve(qsizetype bytes)
    {
        if (m_buffer.size() - m_used < bytes)
            m_buffer.resize(std::max(2 * m_buffer.size(), m_used + bytes));
    }

    QIODevice &m_device;
    QByteArray m_buffer; // kept at its size, filled up to m_used
    qsizetype m_used = 0;
    QStringEncoder m_encoder { QStringEncoder::Utf8 };
    bool m_ok = true;
};
