#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "cli/TextTable.h"
#include "view/table/ColumnTable.h"

#include <algorithm>

namespace {

int runShow(const QStringList &arguments);

const CommandRegistration kRegistration({
    QStringLiteral("show"),
    QStringLiteral("show [--columns FIELDS] LIST"),
    QStringLiteral("print the list's table as the window shows it"),
    runShow,
});

// Pads every cell of a column to the column's width the way the list aligns it, so that the
// decimal alignment of right-aligned prices survives in plain text.
void alignColumns(std::vector<QStringList> &lines, const std::vector<int> &aligns)
{
    for (size_t c = 0; c < aligns.size(); ++c) {
        const auto column = static_cast<qsizetype>(c);
        int width = 0;
        for (const QStringList &line : lines)
            width = std::max(width, TextTable::displayWidth(line.at(column)));
        for (QStringList &line : lines) {
            QString &cell = line[column];
            const int pad = width - TextTable::displayWidth(cell);
            if (pad <= 0)
                continue;
            if (aligns[c] == AlignRight)
                cell = QString(pad, QLatin1Char(' ')) + cell;
            else if (aligns[c] == AlignCenter)
                cell = QString(pad / 2, QLatin1Char(' ')) + cell + QString(pad - pad / 2, QLatin1Char(' '));
            else if (c + 1 < aligns.size())
                cell += QString(pad, QLatin1Char(' '));
        }
    }
}

// A memo may hold line breaks; a table row stays on one line, the break written as the
// exports write it.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    for (QChar &c : text) {
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    }
    return text;
}

int runShow(const QStringList &arguments)
{
    const CliCommand &self = *CommandRegistry::find(QStringLiteral("show"));
    const ParsedArguments args = ParseArguments(arguments, { { QStringLiteral("columns"), true } });
    if (!args.ok())
        return UsageError(self, args.error);
    if (args.positional.size() != 1)
        return UsageError(self,
            args.positional.isEmpty() ? QStringLiteral("no list given")
                                      : QStringLiteral("one list at a time"));
    const auto fields = ColumnsOption(args);
    if (!fields)
        return UsageError(self, fields.error().message);

    ListSession session;
    if (!session.open(args.positional.first()))
        return kExitFailed;
    const ListTable table = session.table(*fields);
    const HeaderModel &header = table.header();
    const std::vector<int> columns = header.visibleColumns();

    std::vector<QStringList> lines;
    std::vector<int> aligns;
    QStringList captions;
    for (int column : columns) {
        captions << ColumnCaption(header.fieldOf(column));
        aligns.push_back(header.column(column).align);
    }
    lines.push_back(captions);
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList cells;
        for (int column : columns)
            cells << oneLine(table.cellTextAt(row, column));
        lines.push_back(cells);
    }
    alignColumns(lines, aligns);

    TextTable text(lines.front());
    for (size_t i = 1; i < lines.size(); ++i)
        text.addRow(lines[i]);
    PrintOut(text.render());
    return kExitOk;
}

} // namespace
