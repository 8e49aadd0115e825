#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One subcommand of quotra-cli. Each lives in a file of its own and registers itself with a
// static CommandRegistration, so adding a subcommand touches no other file.
struct CliCommand {
    QString name;
    QString synopsis; // "fetch [--json] CODE..."
    QString summary; // one line for the command list
    // Runs with the arguments after the subcommand's name; returns the exit status.
    int (*run)(const QStringList &arguments) = nullptr;
};

class CommandRegistry {
public:
    static void add(const CliCommand &command);
    static const CliCommand *find(const QString &name);
    // In name order.
    static std::vector<CliCommand> all();
};

struct CommandRegistration {
    explicit CommandRegistration(const CliCommand &command) { CommandRegistry::add(command); }
};

// Exit statuses shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Writes UTF-8 text to standard output or standard error.
void PrintOut(const QString &text);
void PrintError(const QString &text);
// "quotra-cli: <message>" and the command's synopsis on standard error; returns kExitUsage.
int UsageError(const CliCommand &command, const QString &message);
// Reports a failure through the message hook (standard error here); returns kExitFailed.
int Failure(const QString &message);
