#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>

// One subcommand of quotra-cli. Each runs from a file of its own; the one table of them is
// in cli/main.cpp (plain constants, so nothing runs before main).
struct CliCommand {
    const char *name;
    const char *synopsis; // "fetch [--json] CODE..."
    const char *summary; // one line for the command list
    // Runs with the arguments after the subcommand's name; returns the exit status.
    int (*run)(const QStringList &arguments);
};

// The subcommands in name order, and one of them by name (null when there is none).
std::span<const CliCommand> Commands();
const CliCommand *FindCommand(QStringView name);

int RunAlertsCommand(const QStringList &arguments);
int RunCompareCommand(const QStringList &arguments);
int RunExportCommand(const QStringList &arguments);
int RunFetchCommand(const QStringList &arguments);
int RunFindCommand(const QStringList &arguments);
int RunHistoryCommand(const QStringList &arguments);
int RunRankingCommand(const QStringList &arguments);
int RunScheduleCommand(const QStringList &arguments);
int RunSendCommand(const QStringList &arguments);
int RunShowCommand(const QStringList &arguments);
int RunUpdateCommand(const QStringList &arguments);

// Exit statuses shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Writes UTF-8 text to standard output or standard error.
void PrintOut(const QString &text);
void PrintError(const QString &text);
// "quotra-cli: <message>" and the command's synopsis on standard error; returns kExitUsage.
int UsageError(const CliCommand &command, const QString &message);
// True when "--help" or "-h" stands among the options of a subcommand's arguments (before
// "--", after which every word is an argument).
bool AsksForHelp(const QStringList &arguments);
// "usage: quotra-cli <synopsis>" and the command's summary, for standard output.
QString CommandUsage(const CliCommand &command);
// Reports a failure through the message hook (standard error here); returns kExitFailed.
int Failure(const QString &message);
