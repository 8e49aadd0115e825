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

tessera::Status WriteJson(QIODevice &device, const TableSource &table, const ExportProgress &progress)
{
    const int rows = table.rowCount();
    if (rows <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    const int columns = table.columnCount();
    std::vector<QStringView> keys;
    std::vector<bool> memo;
    for (int c = 0; c < columns; ++c) {
        keys.push_back(FieldKeyPrefix(table.columnField(c)));
        memo.push_back(table.columnField(c) == FieldMemo);
    }

    Utf8Sink out(device);
    out.append(QLatin1StringView("{\"items\":["));
    QString object;
    QString scratch;
    for (int r = 0; r < rows; ++r) {
        object.resize(0);
        object.append(u'{');
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                object.append(u',');
            object.append(keys[static_cast<size_t>(c)]);
            object.append(u'"');
            const QString cell = table.cellText(r, c);
            AppendJsonEscaped(object, ExportCellView(cell, memo[static_cast<size_t>(c)], scratch));
            object.append(u'"');
        }
        object.append(u'}');
        if (r < rows - 1)
            object.append(u',');
        out.append(object);
        if (!out.flushIfLarge())
            break;
        if (progress)
            progress(r + 1, rows);
    }
    out.append(QLatin1StringView("],\"count\":"));
    out.append(QString::number(rows));
    out.append(QLatin1StringView("}"));
    if (!out.flush())
        return tessera::Error { ExportErrorWrite, device.errorString() };
    return tessera::Ok {};
}

tessera::Status ExportJson(const QString &path, const TableSource &table, const ExportProgress &progress)
{
    if (table.rowCount() <= 0)
        return tessera::Error { ExportErrorEmpty, QStringLiteral("the list has no rows to export") };
    return SaveFileSafely(path, [&](QIODevice &device) { return WriteJson(device, table, progress); });
}
