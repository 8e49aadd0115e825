#include "app/core/RankingApply.h"
#include "app/core/RankingEntry.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "cli/TextTable.h"
#include "cli/UpdateRun.h"
#include "document/CQuotraDoc.h"
#include "quotes/fetch/HttpRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

// The ranking number argument: 0 to 5, nothing else.
std::optional<int> rankingIndex(const QString &text)
{
    bool ok = false;
    const int index = text.toInt(&ok);
    if (!ok || !IsRankingIndex(index) || text.trimmed() != text)
        return std::nullopt;
    return index;
}

QString rankingChoices()
{
    QString text;
    int i = 0;
    for (const RankingEntry &entry : RankingEntries())
        text += u"\n  "_s + QString::number(i++) + u"  "_s + QString::fromUtf16(entry.title);
    return text;
}

int printRanking(const RankingRows &rows, bool json)
{
    if (json) {
        QJsonArray array;
        for (const auto &row : rows)
            array.append(
                QJsonObject { { u"code"_s, row->code }, { u"name"_s, row->values[SlotName].toString() } });
        PrintOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
        return kExitOk;
    }
    TextTable table({ u"code"_s, u"name"_s });
    for (const auto &row : rows)
        table.addRow({ row->code, row->values[SlotName].toString() });
    PrintOut(table.render());
    return kExitOk;
}

int applyRanking(const RankingEntry &entry, RankingRows rows, const QString &listPath)
{
    ListSession session;
    if (!session.open(listPath))
        return kExitFailed;
    CQuotraDoc &doc = session.document();
    doc.setSaveHost(&session);

    session.recordHistory();
    AppliedRanking applied;
    const RunCounts counts = RunUpdateAndWait(doc, [&] {
        applied = ApplyRanking(doc, entry, std::move(rows),
            [&](int field, bool ascending) { session.setSortByField(field, ascending); });
        return applied.generation;
    });

    const SaveOutcome saved = doc.DoSave(doc.GetPathName());
    switch (saved.kind) {
    case SaveOutcome::Cancelled:
        return Failure(
            u"%1: the default list is never overwritten by this command; copy it first"_s.arg(listPath));
    case SaveOutcome::Failed:
        return Failure(saved.message);
    case SaveOutcome::Saved:
    case SaveOutcome::Exported:
        break;
    }
    for (const QString &notice : SaveNotices(saved))
        PrintError(notice + u'\n');
    PrintOut(u"%1: ranked %2, added %3, rows %4, fetched %5, failed %6, saved %7\n"_s
                 .arg(QString::fromUtf16(entry.title))
                 .arg(applied.codes.size())
                 .arg(applied.added.size())
                 .arg(doc.rows().size())
                 .arg(counts.fetched)
                 .arg(counts.failed)
                 .arg(saved.target));
    return kExitOk;
}

} // namespace

int RunRankingCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"ranking");
    const ParsedArguments args = ParseArguments(arguments, { { u"json"_s, false }, { u"apply"_s, false } });
    if (!args.ok())
        return UsageError(self, args.error);
    const bool apply = args.isSet(u"apply"_s);
    const bool json = args.isSet(u"json"_s);
    if (apply && json)
        return UsageError(self, u"--json lists a ranking; --apply puts it into a list"_s);
    const qsizetype wanted = apply ? 2 : 1;
    if (args.positional.size() != wanted)
        return UsageError(self,
            args.positional.isEmpty()             ? u"no ranking number given"_s
                : args.positional.size() < wanted ? u"no list given"_s
                                                  : u"too many arguments"_s);
    const std::optional<int> index = rankingIndex(args.positional.first());
    if (!index)
        return UsageError(
            self, u"ranking number %1 is not one of%2"_s.arg(args.positional.first(), rankingChoices()));
    const RankingEntry &entry = RankingEntryAt(*index);

    HttpRequest request;
    QString error;
    std::optional<RankingRows> rows = ReadRanking(entry, request, &error);
    if (!rows)
        return Failure(error);
    if (!apply)
        return printRanking(*rows, json);
    return applyRanking(entry, std::move(*rows), args.positional.at(1));
}
