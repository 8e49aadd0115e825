#include "cli/Command.h"

#include "corelib/Messages.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

std::map<QString, CliCommand> &registry()
{
    static std::map<QString, CliCommand> commands;
    return commands;
}

void write(std::FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
    std::fflush(stream);
}

} // namespace

void CommandRegistry::add(const CliCommand &command)
{
    registry().insert_or_assign(command.name, command);
}

const CliCommand *CommandRegistry::find(const QString &name)
{
    const auto it = registry().find(name);
    return it == registry().end() ? nullptr : &it->second;
}

std::vector<CliCommand> CommandRegistry::all()
{
    std::vector<CliCommand> commands;
    for (const auto &[name, command] : registry())
        commands.push_back(command);
    return commands;
}

void PrintOut(const QString &text)
{
    write(stdout, text);
}

void PrintError(const QString &text)
{
    write(stderr, text);
}

int UsageError(const CliCommand &command, const QString &message)
{
    PrintError(QStringLiteral("quotra-cli: ") + message + QStringLiteral("\nusage: quotra-cli ")
        + command.synopsis + QLatin1Char('\n'));
    return kExitUsage;
}

int Failure(const QString &message)
{
    tessera::ShowMessage(message, tessera::MbOk | tessera::MbIconError);
    return kExitFailed;
}
