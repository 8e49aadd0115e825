#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "cli/TextTable.h"
#include "view/table/ColumnTable.h"

#include <algorithm>

namespace {

// Terminal columns a cell takes; plain ASCII needs no character property look-up.
int cellWidth(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return TextTable::displayWidth(text);
    }
    return static_cast<int>(text.size());
}

// `cell` padded to `width` the way the list aligns the column, so that the decimal alignment
// of right-aligned prices survives in plain text. The last column gets no trailing padding.
void appendCell(QString &line, const QString &cell, int width, int align, bool last)
{
    const int pad = width - cellWidth(cell);
    if (pad > 0 && align == AlignRight) {
        line += QString(pad, QLatin1Char(' ')) + cell;
    } else if (pad > 0 && align == AlignCenter) {
        line += QString(pad / 2, QLatin1Char(' ')) + cell;
        if (!last)
            line += QString(pad - pad / 2, QLatin1Char(' '));
    } else {
        line += cell;
        if (pad > 0 && !last)
            line += QString(pad, QLatin1Char(' '));
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

} // namespace

int RunShowCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"show");
    const ParsedArguments args = ParseArguments(
        arguments, { { QStringLiteral("columns"), true }, { QStringLiteral("layout"), true } });
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
    if (args.isSet(QStringLiteral("layout"))) {
        const tessera::Status layout = session.useLayoutFile(args.value(QStringLiteral("layout")));
        if (!layout)
            return Failure(layout.error().message);
    }
    const ListTable table = session.table(*fields);
    const HeaderModel &header = table.header();
    const std::vector<int> columns = header.visibleColumns();
    const size_t count = columns.size();

    // Two passes over the cells, measuring and then writing, so that a large list is never
    // held as text in full.
    QStringList captions;
    std::vector<int> aligns;
    std::vector<int> widths;
    for (int column : columns) {
        captions << ColumnCaption(header.fieldOf(column));
        aligns.push_back(header.column(column).align);
        widths.push_back(cellWidth(captions.last()));
    }
    const auto cell = [&](int row, size_t c) { return oneLine(table.cellTextAt(row, columns[c])); };
    for (int row = 0; row < table.rowCount(); ++row) {
        for (size_t c = 0; c < count; ++c)
            widths[c] = std::max(widths[c], cellWidth(cell(row, c)));
    }

    constexpr qsizetype kFlushSize = 256 * 1024;
    QString out;
    const auto addLine = [&](const auto &textOf) {
        for (size_t c = 0; c < count; ++c) {
            if (c > 0)
                out += QLatin1String("  ");
            appendCell(out, textOf(c), widths[c], aligns[c], c + 1 == count);
        }
        out += QLatin1Char('\n');
        if (out.size() >= kFlushSize) {
            PrintOut(out);
            out.clear();
        }
    };
    addLine([&](size_t c) { return captions.at(static_cast<qsizetype>(c)); });
    for (size_t c = 0; c < count; ++c) {
        if (c > 0)
            out += QLatin1String("  ");
        out += QString(widths[c], QLatin1Char('-'));
    }
    out += QLatin1Char('\n');
    for (int row = 0; row < table.rowCount(); ++row)
        addLine([&](size_t c) { return cell(row, c); });
    PrintOut(out);
    return kExitOk;
}
