#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "document/workbook/CodeMap.h"
#include "document/workbook/CompareWorkbook.h"
#include "view/table/ColumnTable.h"

#include <QFileInfo>

// The several-files comparison of the window's workbook command without the window: every
// list is read as the window reads it, the columns are those the window starts with (or
// --columns), and the workbook is written where the user says.
int RunCompareCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"compare");
    const ParsedArguments args = ParseArguments(arguments,
        { { QStringLiteral("columns"), true }, { QStringLiteral("codes"), true },
            { QStringLiteral("arrangement"), true } });
    if (!args.ok())
        return UsageError(self, args.error);
    if (args.positional.size() < 2)
        return UsageError(self, QStringLiteral("give an output workbook and at least one list"));
    const auto fields = ColumnsOption(args);
    if (!fields)
        return UsageError(self, fields.error().message);

    CompareOptions options;
    if (args.isSet(QStringLiteral("arrangement"))) {
        const QString value = args.value(QStringLiteral("arrangement"));
        if (value == u"0")
            options.arrangement = CompareArrangement::Across;
        else if (value == u"1")
            options.arrangement = CompareArrangement::Down;
        else
            return UsageError(self, QStringLiteral("--arrangement takes 0 or 1, not \"%1\"").arg(value));
    }
    if (args.isSet(QStringLiteral("codes"))) {
        for (const QString &code : args.value(QStringLiteral("codes")).split(u',', Qt::SkipEmptyParts))
            options.selectedCodes << code.trimmed();
        if (options.selectedCodes.isEmpty())
            return UsageError(self, QStringLiteral("--codes needs at least one code"));
    }

    const QString out = args.positional.at(0);
    if (QFileInfo(out).suffix().compare(u"xlsx", Qt::CaseInsensitive) != 0)
        return UsageError(self, out + QStringLiteral(": the comparison is written as an .xlsx workbook"));
    const QStringList lists = args.positional.mid(1);

    ListSession session;
    const tessera::Result<CodeMap> map = GatherLists(lists, session.loadOptions());
    if (!map)
        return Failure(map.error().message);

    const ListTable table = session.table(*fields);
    options.columns = CompareColumnsOf(table);
    options.datetimeTitle = ColumnCaption(FieldDatetime);
    const tessera::Status written = WriteComparisonWorkbook(out, *map, options);
    if (!written)
        return Failure(out + QStringLiteral(": ") + written.error().message);
    return kExitOk;
}
