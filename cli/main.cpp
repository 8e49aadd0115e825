#include "cli/Command.h"
#include "corelib/LanguageModule.h"

#include <QCoreApplication>

namespace {

QString commandList()
{
    QString text = QStringLiteral("usage: quotra-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const CliCommand &c : CommandRegistry::all())
        text += QStringLiteral("  ") + c.synopsis.leftJustified(40) + QLatin1Char(' ') + c.summary
            + QLatin1Char('\n');
    return text;
}

} // namespace

int main(int argc, char **argv)
{
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
    const CliCommand *command = CommandRegistry::find(name);
    if (!command) {
        PrintError(
            QStringLiteral("quotra-cli: unknown command ") + name + QStringLiteral("\n\n") + commandList());
        return kExitUsage;
    }
    return command->run(arguments);
}
