#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/Startup.h"
#include "app/ui/MessageBoxHook.h"

#include <QApplication>
#include <QSettings>

#include <cstdlib>

int main(int argc, char **argv)
{
    SelectHeadlessPlatform();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quotra"));

    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    const CCLineInfo commandLine = CCLineInfo::Parse(arguments);
    InstallMessageBoxHook(commandLine.autoRun);

    const std::unique_ptr<QSettings> store = AppSettings::OpenStore();
    AppSettings settings;
    settings.Load(*store);

    if (!CheckLanguageModule())
        return EXIT_FAILURE;
    settings.currentLanguage = 1041;

    // The main window is not built yet: the program ends after its start-up checks and
    // writes the settings back as at every exit.
    settings.Save(*store);
    return EXIT_SUCCESS;
}
