#include "document/JsonExport.h"

#include "document/SafeSave.h"
#include "document/TableSource.h"
#include "quotes/QuoteRecord.h"

#include <QIODevice>

#include <vector>

void AppendJsonEscaped(QString &out, QStringView text)
{
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        out.append(text.sliced(plain, i - plain));
        plain = i + 1;
        if (c == u'"' || c == u'\\') {
            out.append(u'\\');
            out.append(QChar(c));
        } else {
            const char16_t esc[] = { u'\\', u'u', u'0', u'0', kHex[c >> 4], kHex[c & 0xF] };
            out.append(QStringView(esc, 6));
        }
    }
    out.append(text.sliced(plain));
}

namespace {

bool needsEscape(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c == u'"' || c == u'\\')
            return true;
    }
    return false;
}

} // namespace

tessera::Status WriteJson(QIODevice &device, const TableSource &table, const ExportProgress &progress)
{
    const int rows = table.rowCount();
    if (rows <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    const int columns = table.columnCount();
    // What goes before each value: the object's brace or the previous value's closing quote
    // and comma, then the member name and the opening quote.
    std::vector<QByteArray> before;
    std::vector<bool> memo;
    for (int c = 0; c < columns; ++c) {
        const int field = table.columnField(c);
        before.push_back(QByteArray(c == 0 ? "{" : "\",") + FieldKeyPrefix(field).toLatin1() + '"');
        memo.push_back(field == FieldMemo);
    }

    Utf8Sink out(device);
    out.append(QLatin1StringView("{\"items\":["));
    QString scratch;
    QString cellScratch;
    QString escaped;
    for (int r = 0; r < rows; ++r) {
        if (columns == 0)
            out.append(QLatin1StringView("{"));
        for (int c = 0; c < columns; ++c) {
            const QByteArray &prefix = before[static_cast<size_t>(c)];
            out.append(QLatin1StringView(prefix.constData(), prefix.size()));
            const QStringView cell = table.cellView(r, c, cellScratch);
            const QStringView text = ExportCellView(cell, memo[static_cast<size_t>(c)], scratch);
            if (needsEscape(text)) {
                escaped.resize(0);
                AppendJsonEscaped(escaped, text);
                out.append(escaped);
            } else {
                out.append(text);
            }
        }
        out.append(columns == 0 ? QLatin1StringView("}") : QLatin1StringView("\"}"));
        if (r < rows - 1)
            out.append(QLatin1StringView(","));
        if (!out.flushIfLarge())
            break;
        if (progress)
            progress(r + 1, rows);
    }
    out.append(QLatin1StringView("],\"count\":"));
    out.append(QString::number(rows));
    out.append(QLatin1StringView("}"));
    if (!out.flush())
        return tessera::Error { ExportErrorWrite, DeviceErrorReason(device) };
    return tessera::Ok {};
}

tessera::Status ExportJson(const QString &path, const TableSource &table, const ExportProgress &progress)
{
    if (table.rowCount() <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    return SaveFileSafely(path, [&](QIODevice &device) { return WriteJson(device, table, progress); });
}
