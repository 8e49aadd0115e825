#include "document/ExportText.h"

#include "document/TableSource.h"
#include "quotes/QuoteRecord.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
constexpr qsizetype kChunk = 1 << 16;
} // namespace

QStringView ExportCellView(const QString &cell, bool memoColumn, QString &scratch)
{
    const QStringView text = QStringView(cell).trimmed();
    if (!memoColumn || !text.contains(u"\r\n"))
        return text;
    scratch = text.toString();
    scratch.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    return scratch;
}

QString ExportCellText(const TableSource &table, int row, int column)
{
    QString scratch;
    return ExportCellView(table.cellText(row, column), table.columnField(column) == FieldMemo, scratch)
        .toString();
}

Utf8Sink::Utf8Sink(QIODevice &device)
    : m_device(device)
    , m_buffer(2 * kChunk, Qt::Uninitialized)
{
    append(QLatin1StringView("\xEF\xBB\xBF"));
}

void Utf8Sink::append(QStringView text)
{
    const qsizetype room = m_encoder.requiredSpace(text.size());
    if (m_buffer.size() - m_used < room)
        m_buffer.resize(std::max(2 * m_buffer.size(), m_used + room));
    // Cell texts are mostly ASCII (codes, numbers): copy those units as bytes and leave the
    // encoder the rest from the first other character on.
    char *out = m_buffer.data() + m_used;
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    while (p != end && *p < 0x80)
        *out++ = static_cast<char>(*p++);
    if (p != end)
        out = m_encoder.appendToBuffer(out, QStringView(p, end));
    m_used = out - m_buffer.constData();
}

void Utf8Sink::append(QLatin1StringView text)
{
    if (m_buffer.size() - m_used < text.size())
        m_buffer.resize(std::max(2 * m_buffer.size(), m_used + text.size()));
    std::memcpy(m_buffer.data() + m_used, text.data(), static_cast<size_t>(text.size()));
    m_used += text.size();
}

bool Utf8Sink::flushIfLarge()
{
    return m_used < kChunk ? m_ok : flush();
}

bool Utf8Sink::flush()
{
    if (m_ok && m_used > 0)
        m_ok = m_device.write(m_buffer.constData(), m_used) == m_used;
    m_used = 0;
    return m_ok;
}
