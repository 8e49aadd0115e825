#include "view/table/RowTextBlock.h"

#include "view/table/ColumnTable.h"
#include "view/table/ListTable.h"

namespace {

bool needsRewriting(QStringView text)
{
    if (text.isEmpty())
        return false;
    if (text.front().isSpace() || text.back().isSpace())
        return true;
    for (const QChar c : text) {
        if (c == u',' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

} // namespace

void AppendRowTextCell(QString &line, QStringView displayText)
{
    // Most cells are written as they are shown.
    if (needsRewriting(displayText))
        line += RowTextCell(displayText.toString());
    else
        line += displayText;
}

QString RowTextCell(const QString &displayText)
{
    QString cell = displayText;
    cell.remove(u',');
    cell.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    // A lone line feed or carriage return (a memo typed on this system) would break the
    // line structure just as well.
    cell.replace(u'\n', QStringLiteral("<br>"));
    cell.replace(u'\r', QStringLiteral("<br>"));
    return cell.trimmed();
}

RowTextBlock BuildRowTextBlock(const ListTable &table, const std::vector<int> &rows, bool withCaptions)
{
    RowTextBlock block;
    if (rows.empty())
        return block;
    const HeaderModel &header = table.header();
    const int columns = header.columnCount();
    qint64 bytes = 0;
    QString line;
    const auto appendLine = [&]() {
        line += QStringLiteral("\r\n");
        bytes += static_cast<qint64>(line.size()) * 2 + 2;
        if (bytes > kRowTextBlockLimit)
            return false;
        block.text += line;
        line.clear();
        return true;
    };
    if (withCaptions) {
        for (int c = 1; c < columns; ++c) {
            line += ColumnCaption(header.fieldOf(c)).left(255);
            line += u',';
        }
        if (!appendLine()) {
            block = {};
            block.status = RowTextBlock::TooLarge;
            return block;
        }
    }
    for (const int row : rows) {
        if (!table.record(row))
            continue;
        for (int c = 1; c < columns; ++c) {
            AppendRowTextCell(line, table.cellViewAt(row, c));
            line += u',';
        }
        if (!appendLine()) {
            block = {};
            block.status = RowTextBlock::TooLarge;
            return block;
        }
    }
    block.status = RowTextBlock::Ok;
    return block;
}
