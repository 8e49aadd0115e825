#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "corelib/CJre.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "view/table/RowFind.h"

int RunFindCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"find");
    const ParsedArguments args = ParseArguments(arguments,
        { { QStringLiteral("case"), false }, { QStringLiteral("regex"), false },
            { QStringLiteral("fuzzy"), false }, { QStringLiteral("columns"), true } });
    if (!args.ok())
        return UsageError(self, args.error);
    if (args.positional.size() != 2)
        return UsageError(self, QStringLiteral("a pattern and one list are needed"));
    const QString &pattern = args.positional.at(0);
    if (pattern.isEmpty())
        return UsageError(self, QStringLiteral("the pattern is empty"));
    const auto fields = ColumnsOption(args);
    if (!fields)
        return UsageError(self, fields.error().message);

    // The engine is bound as the window binds it, so QUOTRA_ENGINE_DIR chooses the same way.
    tessera::CJre::Init(1);
    tessera::CJre jre;
    if (!jre.Compile(pattern, args.isSet(QStringLiteral("case")), args.isSet(QStringLiteral("regex")),
            args.isSet(QStringLiteral("fuzzy"))))
        return kExitUsage; // the engine's message is on standard error

    ListSession session;
    if (!session.open(args.positional.at(1)))
        return kExitUsage;
    const ListTable table = session.table(*fields);
    QString out;
    for (int row = 0; row < table.rowCount();) {
        const FindResult found = FindRow(table, jre, row, true);
        if (found.end == FindEnd::Limit) {
            // The rows after it would most likely end the same way: the search stops here.
            PrintOut(out);
            Failure(tessera::FormatResourceString(Ids::MsgFindLimit, { pattern }));
            return kExitUsage;
        }
        if (found.end != FindEnd::Found)
            break;
        out += table.record(found.row)->code + QLatin1Char('\n');
        row = found.row + 1;
    }
    PrintOut(out);
    return out.isEmpty() ? kExitFailed : kExitOk;
}
