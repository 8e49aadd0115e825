#include "cli/Command.h"

#include "corelib/Messages.h"

#include <cstdio>

namespace {

void write(std::FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
    std::fflush(stream);
}

} // namespace

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
        + QString::fromUtf8(command.synopsis) + QLatin1Char('\n'));
    return kExitUsage;
}

bool AsksForHelp(const QStringList &arguments)
{
    for (const QString &word : arguments) {
        if (word == QLatin1String("--"))
            return false;
        if (word == QLatin1String("--help") || word == QLatin1String("-h"))
            return true;
    }
    return false;
}

QString CommandUsage(const CliCommand &command)
{
    return QStringLiteral("usage: quotra-cli ") + QString::fromUtf8(command.synopsis) + QStringLiteral("\n\n")
        + QString::fromUtf8(command.summary) + QLatin1Char('\n');
}

int Failure(const QString &message)
{
    tessera::ShowMessage(message, tessera::MbOk | tessera::MbIconError);
    return kExitFailed;
}
