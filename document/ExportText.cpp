#include "document/ExportText.h"

#include "document/TableSource.h"
#include "quotes/QuoteRecord.h"

#include <QIODevice>

namespace {
constexpr qsizetype kChunk = 1 << 16;
} // namespace

QString ExportCellText(const TableSource &table, int row, int column)
{
    QString text = table.cellText(row, column).trimmed();
    if (table.columnField(column) == FieldMemo)
        text.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    return text;
}

Utf8Sink::Utf8Sink(QIODevice &device)
    : m_device(device)
{
    m_buffer.reserve(kChunk + 4096);
    m_buffer.append("\xEF\xBB\xBF");
}

void Utf8Sink::append(QStringView text)
{
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + m_encoder.requiredSpace(text.size()));
    char *end = m_encoder.appendToBuffer(m_buffer.data() + old, text);
    m_buffer.resize(end - m_buffer.constData());
}

void Utf8Sink::append(QLatin1StringView text)
{
    m_buffer.append(text.data(), text.size());
}

bool Utf8Sink::flushIfLarge()
{
    return m_buffer.size() < kChunk ? m_ok : flush();
}

bool Utf8Sink::flush()
{
    if (m_ok && !m_buffer.isEmpty())
        m_ok = m_device.write(m_buffer) == m_buffer.size();
    m_buffer.resize(0);
    return m_ok;
}
