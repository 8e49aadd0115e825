#include "document/ExportText.h"

#include "document/SafeSave.h"
#include "document/TableSource.h"
#include "quotes/QuoteRecord.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {
constexpr qsizetype kChunk = 1 << 16;
} // namespace

QStringView ExportCellView(QStringView cell, bool memoColumn, QString &scratch)
{
    const QStringView text = cell.trimmed();
    if (!memoColumn || !text.contains(u"\r\n"))
        return text;
    scratch = text.toString();
    scratch.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    return scratch;
}

QString ExportCellText(const TableSource &table, int row, int column)
{
    QString scratch;
    const QString cell = table.cellText(row, column);
    return ExportCellView(cell, table.columnField(column) == FieldMemo, scratch).toString();
}

Utf8Sink::Utf8Sink(QIODevice &device)
    : m_device(device)
    , m_buffer(2 * kChunk, Qt::Uninitialized)
{
    append(QLatin1StringView("\xEF\xBB\xBF"));
}

bool Utf8Sink::flushIfLarge()
{
    return m_used < kChunk ? m_ok : flush();
}

bool Utf8Sink::flush()
{
    if (m_ok && m_used > 0)
        m_ok = WriteAll(m_device, m_buffer.constData(), m_used);
    m_used = 0;
    return m_ok;
}
