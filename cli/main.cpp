#include "app/core/VersionCheck.h"
#include "cli/Command.h"
#include "corelib/LanguageModule.h"
#include "corelib/LocalTimeZone.h"

#include <QCoreApplication>

namespace {

// Every subcommand, in name order.
constexpr CliCommand kCommands[] = {
    { "alerts",
        "alerts list | add CODE (--above P | --below P | --change PCT)... [--note TEXT] | delete CODE "
        "[above|below|rise|fall] | check LIST",
        "the price alerts of codes; check updates LIST once and prints each alert that fires",
        RunAlertsCommand },
    { "compare", "compare [--columns FIELDS] [--codes CODE,...] [--arrangement 0|1] OUT.xlsx LIST...",
        "compare several lists in one workbook: a sheet per code, a row (0) or column (1) per list",
        RunCompareCommand },
    { "export", "export [--columns FIELDS] [--layout FILE.colm] LIST OUT",
        "write the list as OUT.kabu, OUT.csv or OUT.json", RunExportCommand },
    { "fetch", "fetch [--json] [--parallel N] CODE...",
        "fetch and parse each code's quote page and print the records, with the reason of each failure",
        RunFetchCommand },
    { "find", "find [--case] [--regex] [--fuzzy] [--columns FIELDS] PATTERN LIST",
        "print the code of every row whose displayed text matches (status 1: none, 2: refused pattern)",
        RunFindCommand },
    { "history",
        "history [--json | --csv] [--since YYYY-MM-DD] [--until YYYY-MM-DD] CODE... | history stats | "
        "history "
        "import FILE_OR_FOLDER...",
        "print the stored price history of codes oldest first, its size, or import saved lists into it",
        RunHistoryCommand },
    { "ranking", "ranking [--json] N | ranking --apply N LIST",
        "print the securities of ranking N (0-5), or put them into LIST, update and save it",
        RunRankingCommand },
    { "schedule",
        "schedule list | add --name NAME --days DAYS --time HH:MM [--auto] [--folder DIR] LIST | delete NAME",
        "the weekly unattended runs in the user's crontab", RunScheduleCommand },
    { "show", "show [--columns FIELDS] [--layout FILE.colm] LIST",
        "print the list's table as the window shows it", RunShowCommand },
    { "send", "send [--pid PID] TEXT",
        "hand TEXT to a running window (\"StockCode:CODES\" adds the codes); exit 1 when not handled, "
        "2 when no window is reachable",
        RunSendCommand },
    { "update", "update [--folder DIR] [--xlsx] [--parallel N] LIST",
        "the unattended run: update every row once and save the list", RunUpdateCommand },
};

QString commandList()
{
    QString text = QStringLiteral("usage: quotra-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const CliCommand &c : Commands())
        text += QStringLiteral("  ") + QString::fromUtf8(c.synopsis).leftJustified(40) + QLatin1Char(' ')
            + QString::fromUtf8(c.summary) + QLatin1Char('\n');
    return text;
}

} // namespace

std::span<const CliCommand> Commands()
{
    return kCommands;
}

const CliCommand *FindCommand(QStringView name)
{
    for (const CliCommand &c : kCommands) {
        if (name == QLatin1StringView(c.name))
            return &c;
    }
    return nullptr;
}

int main(int argc, char **argv)
{
    tessera::PinLocalTimeZone();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quotra-cli"));
    // Numbered texts are wanted for messages and captions; commands that need none still run
    // without the module.
    tessera::LanguageModule::instance().load();

    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        PrintError(commandList());
        return kExitUsage;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        PrintOut(commandList());
        return kExitOk;
    }
    if (name == QLatin1String("--version")) {
        PrintOut(QStringLiteral("quotra-cli ") + kProgramVersion.toString() + QLatin1Char('\n'));
        return kExitOk;
    }
    const CliCommand *command = FindCommand(name);
    if (!command) {
        PrintError(
            QStringLiteral("quotra-cli: unknown command ") + name + QStringLiteral("\n\n") + commandList());
        return kExitUsage;
    }
    if (AsksForHelp(arguments)) {
        PrintOut(CommandUsage(*command));
        return kExitOk;
    }
    return command->run(arguments);
}
