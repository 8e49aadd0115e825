#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "corelib/Messages.h"
#include "document/DocumentIo.h"

#include <QFileInfo>

namespace {

// The output formats by extension. Old binary ".xls" workbooks are read, never written.
bool isExportExtension(const QString &suffix)
{
    for (const char *ext : { "kabu", "csv", "json", "xlsx" }) {
        if (suffix.compare(QLatin1String(ext), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

int RunExportCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"export");
    const ParsedArguments args = ParseArguments(
        arguments, { { QStringLiteral("columns"), true }, { QStringLiteral("layout"), true } });
    if (!args.ok())
        return UsageError(self, args.error);
    if (args.positional.size() != 2)
        return UsageError(self, QStringLiteral("give a list and an output file"));
    const auto fields = ColumnsOption(args);
    if (!fields)
        return UsageError(self, fields.error().message);
    const QString listPath = args.positional.at(0);
    const QString out = args.positional.at(1);

    if (!isExportExtension(QFileInfo(out).suffix()))
        return Failure(out + QStringLiteral(": unknown output format; use .kabu, .csv, .json or .xlsx"));

    ListSession session;
    if (!session.open(listPath))
        return kExitFailed;
    if (args.isSet(QStringLiteral("layout"))) {
        const tessera::Status layout = session.useLayoutFile(args.value(QStringLiteral("layout")));
        if (!layout)
            return Failure(layout.error().message);
    }
    const RecordMap &rows = session.document().rows();
    if (rows.empty())
        return Failure(out + QStringLiteral(": the list has no rows to export"));

    const ListTable table = session.table(*fields);
    // A list file keeps the layout it came with unless the columns or a layout file were
    // chosen here; a list without one gets the layout it was shown with.
    const ColumnLayout layout = *fields || session.layoutFromFile() ? table.header().saveLayout()
        : session.fileLayout()                                      ? *session.fileLayout()
                                                                    : session.headerLayout();
    int linksLeftOut = 0;
    const tessera::Status saved = SaveDocumentFile(
        out, FileKindFromPath(out), rows, layout, &table, QFileInfo(listPath).fileName(), &linksLeftOut);
    if (!saved)
        return Failure(saved.error().message);
    if (linksLeftOut > 0)
        PrintError(LinksLeftOutText(linksLeftOut) + u'\n');
    return kExitOk;
}
