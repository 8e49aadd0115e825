#include "app/core/AppSettings.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "cli/TextTable.h"
#include "cli/UpdateRun.h"
#include "document/ValidCode.h"
#include "history/AlertBook.h"
#include "history/HistoryCsv.h"
#include "history/HistoryLocation.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "quotes/fetch/FetchQuote.h"

#include <QDateTime>
#include <QSettings>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString alertsPath()
{
    AppSettings settings;
    settings.Load(*AppSettings::OpenStore());
    return HistoryFilePath(settings.historyFile);
}

// The history file the alerts live in; `create` makes it when missing (adding an alert).
tessera::Result<std::unique_ptr<HistoryStore>> openAlerts(bool create)
{
    tessera::Result<std::unique_ptr<HistoryStore>> store = HistoryStore::Open(
        alertsPath(), create ? HistoryStore::OpenMode::Create : HistoryStore::OpenMode::Existing);
    if (store) {
        for (const QString &notice : (*store)->notices())
            PrintError(u"quotra-cli: "_s + notice + u'\n');
    }
    return store;
}

// A number of --above, --below or --change: finite, read without the locale.
std::optional<double> optionNumber(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

int listAlerts(const CliCommand &self, const ParsedArguments &args)
{
    if (args.positional.size() != 1)
        return UsageError(self, u"alerts list takes no arguments"_s);
    tessera::Result<std::unique_ptr<HistoryStore>> store = openAlerts(false);
    if (!store) {
        if (store.error().code == HistoryErrorMissing)
            return kExitOk; // no file, no alerts
        return Failure(store.error().message);
    }
    const tessera::Result<std::vector<Alert>> alerts = AlertBook(**store).all();
    if (!alerts)
        return Failure(alerts.error().message);
    TextTable table(
        { u"code"_s, u"condition"_s, u"threshold"_s, u"state"_s, u"last fired"_s, u"value"_s, u"note"_s });
    for (const Alert &a : *alerts) {
        for (const AlertCondition &c : a.conditions) {
            const QString state = !c.enabled ? u"off"_s : (c.armed ? u"armed"_s : u"fired"_s);
            table.addRow({ a.code, QString::fromLatin1(AlertKindName(c.kind)), HistoryValueText(c.threshold),
                state,
                c.firedTime ? QDateTime::fromSecsSinceEpoch(*c.firedTime).toString(u"yyyy-MM-dd HH:mm:ss"_s)
                            : QString(),
                HistoryValueText(c.firedValue), a.note });
        }
    }
    PrintOut(table.render());
    return kExitOk;
}

int addAlert(const CliCommand &self, const ParsedArguments &args)
{
    if (args.positional.size() != 2)
        return UsageError(self, args.positional.size() < 2 ? u"no code given"_s : u"one code at a time"_s);
    const QString code = args.positional[1];
    if (!IsValidCode(code))
        return UsageError(self, u"%1 is not a security code"_s.arg(code));
    std::vector<AlertCondition> conditions;
    for (const auto &[option, kind] :
        { std::pair { u"above"_s, AlertKind::Above }, { u"below"_s, AlertKind::Below } }) {
        if (!args.isSet(option))
            continue;
        const std::optional<double> price = optionNumber(args.value(option));
        if (!price)
            return UsageError(self, u"--%1: %2 is not a number"_s.arg(option, args.value(option)));
        if (*price < 0)
            return UsageError(self, u"--%1: a price is never negative"_s.arg(option));
        conditions.emplace_back(kind, *price);
    }
    if (args.isSet(u"change"_s)) {
        const QString text = args.value(u"change"_s).trimmed();
        const std::optional<double> ratio = optionNumber(text);
        if (!ratio)
            return UsageError(self, u"--change: %1 is not a number"_s.arg(text));
        if (*ratio == 0)
            return UsageError(self, u"--change: 0 % would fire at every update"_s);
        // "+5" watches the rise, "-5" the fall, "5" both.
        if (!text.startsWith(u'-'))
            conditions.emplace_back(AlertKind::RiseBy, std::abs(*ratio));
        if (!text.startsWith(u'+'))
            conditions.emplace_back(AlertKind::FallBy, std::abs(*ratio));
    }
    if (conditions.empty())
        return UsageError(self, u"give --above, --below or --change"_s);

    tessera::Result<std::unique_ptr<HistoryStore>> store = openAlerts(true);
    if (!store)
        return Failure(store.error().message);
    AlertBook book(**store);
    const tessera::Result<std::optional<Alert>> found = book.find(code);
    if (!found)
        return Failure(found.error().message);
    Alert alert = found->value_or(Alert { code, {}, {} });
    if (args.isSet(u"note"_s))
        alert.note = args.value(u"note"_s);
    for (const AlertCondition &c : conditions) {
        if (AlertCondition *old = alert.condition(c.kind)) {
            old->threshold = c.threshold;
            old->enabled = true;
        } else {
            alert.conditions.push_back(c);
        }
    }
    const tessera::Status put = book.put(alert);
    if (!put)
        return Failure(put.error().message);
    return kExitOk;
}

int deleteAlert(const CliCommand &self, const ParsedArguments &args)
{
    if (args.positional.size() < 2 || args.positional.size() > 3)
        return UsageError(self, args.positional.size() < 2 ? u"no code given"_s : u"one code at a time"_s);
    const QString code = args.positional[1];
    std::optional<AlertKind> kind;
    if (args.positional.size() == 3) {
        kind = AlertKindOfName(args.positional[2]);
        if (!kind)
            return UsageError(
                self, u"%1 is not a condition (above, below, rise, fall)"_s.arg(args.positional[2]));
    }
    tessera::Result<std::unique_ptr<HistoryStore>> store = openAlerts(false);
    if (!store && store.error().code != HistoryErrorMissing)
        return Failure(store.error().message);
    const tessera::Result<bool> removed
        = store ? AlertBook(**store).remove(code, kind) : tessera::Result<bool>(false);
    if (!removed)
        return Failure(removed.error().message);
    if (!*removed) {
        PrintError(u"quotra-cli: %1: no such alert\n"_s.arg(code));
        return kExitFailed;
    }
    return kExitOk;
}

// Updates every row of the list once, without saving it, and prints what fired.
int checkList(const CliCommand &self, const ParsedArguments &args)
{
    if (args.positional.size() != 2)
        return UsageError(self, args.positional.size() < 2 ? u"no list given"_s : u"one list at a time"_s);
    ListSession session;
    if (!session.open(args.positional[1]))
        return kExitFailed;
    CQuotraDoc &doc = session.document();
    doc.setFetchFactory(NetworkFetchFactory({}, session.settings().fetchPolicy()));
    QStringList codes;
    for (const auto &[code, record] : doc.rows())
        codes << code;
    session.recordHistory();
    const RunCounts counts = RunUpdateAndWait(doc, [&] { return doc.StartUpdate(codes); });
    for (const RunCounts::Failure &failure : counts.failures)
        PrintError(u"quotra-cli: %1: failed: %2\n"_s.arg(failure.code, failure.reason));
    return kExitOk;
}

} // namespace

int RunAlertsCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"alerts");
    const ParsedArguments args = ParseArguments(arguments,
        { { u"above"_s, true }, { u"below"_s, true }, { u"change"_s, true }, { u"note"_s, true } });
    if (!args.ok())
        return UsageError(self, args.error);
    const QString action = args.positional.value(0);
    const bool conditionOptions = args.isSet(u"above"_s) || args.isSet(u"below"_s) || args.isSet(u"change"_s)
        || args.isSet(u"note"_s);
    if (action != u"add"_s && conditionOptions)
        return UsageError(self, u"the options belong to alerts add"_s);
    if (action == u"list"_s)
        return listAlerts(self, args);
    if (action == u"add"_s)
        return addAlert(self, args);
    if (action == u"delete"_s)
        return deleteAlert(self, args);
    if (action == u"check"_s)
        return checkList(self, args);
    return UsageError(self, action.isEmpty() ? u"no action given"_s : u"unknown action %1"_s.arg(action));
}
