#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "cli/ParallelOption.h"
#include "cli/UpdateRun.h"
#include "corelib/Messages.h"
#include "document/DocumentIo.h"
#include "quotes/fetch/FetchQuote.h"

#include <QElapsedTimer>
#include <QFileInfo>

int RunUpdateCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"update");
    const ParsedArguments args = ParseArguments(arguments,
        { { QStringLiteral("folder"), true }, { QStringLiteral("xlsx"), false },
            { QStringLiteral("parallel"), true } });
    if (!args.ok())
        return UsageError(self, args.error);
    if (args.positional.size() != 1)
        return UsageError(self,
            args.positional.isEmpty() ? QStringLiteral("no list given")
                                      : QStringLiteral("one list at a time"));
    ListSession session;
    QString optionError;
    const FetchPolicy policy = PolicyWithParallelOption(args, session.settings().fetchPolicy(), optionError);
    if (!optionError.isEmpty())
        return UsageError(self, optionError);
    if (!session.open(args.positional.first()))
        return kExitFailed;
    CQuotraDoc &doc = session.document();
    doc.setFetchFactory(NetworkFetchFactory({}, policy));

    SaveNamingContext naming;
    naming.unattended = true;
    // As /Auto2: a list that is not a workbook goes into the folder as ".xlsx".
    naming.workbookOutput = args.isSet(QStringLiteral("xlsx"));
    if (args.isSet(QStringLiteral("folder"))) {
        const QString folder = args.value(QStringLiteral("folder"));
        naming.outputFolder = folder.isEmpty() ? folder : QFileInfo(folder).absoluteFilePath();
        // A missing folder is an error, as in the window's unattended run: the result is never
        // written somewhere the caller did not name.
        if (!naming.outputFolder.isEmpty() && !QFileInfo(naming.outputFolder).isDir()) {
            PrintError(QStringLiteral("quotra-cli: output folder %1 does not exist\n").arg(folder));
            return kExitFailed;
        }
    }
    doc.setSaveNaming(naming);

    // The list saves with the layout the window would store and, for exports, the table the
    // window would show, sorted again after the update.
    doc.setSaveHost(&session);

    QElapsedTimer clock;
    clock.start();
    QStringList codes;
    for (const auto &[code, record] : doc.rows())
        codes << code;
    session.recordHistory();
    const RunCounts counts = RunUpdateAndWait(doc, [&] { return doc.StartUpdate(codes); });
    const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    // As `fetch` does: each failed code with the reason its fetch gave.
    for (const RunCounts::Failure &failure : counts.failures) {
        PrintError(QStringLiteral("quotra-cli: %1: failed: %2\n")
                       .arg(failure.code,
                           failure.reason.isEmpty() ? QStringLiteral("no reason given") : failure.reason));
    }

    const QString path = doc.GetPathName();
    const SaveOutcome saved = doc.DoSave(path);
    switch (saved.kind) {
    case SaveOutcome::Cancelled:
        // DoSave found no name it may write: the target was the default list.
        return Failure(QStringLiteral("%1: the default list is never overwritten by an unattended save; "
                                      "give --folder")
                           .arg(path));
    case SaveOutcome::Failed:
        return Failure(saved.message);
    case SaveOutcome::Saved:
    case SaveOutcome::Exported:
        break;
    }
    for (const QString &notice : SaveNotices(saved))
        PrintError(notice + u'\n');
    const QString savedTo = saved.target;

    PrintOut(QStringLiteral("rows %1, fetched %2, failed %3, changed %4, seconds %5, saved %6\n")
                 .arg(doc.rows().size())
                 .arg(counts.fetched)
                 .arg(counts.failed)
                 .arg(counts.changed)
                 .arg(seconds, 0, 'f', 2)
                 .arg(savedTo));
    return kExitOk;
}
