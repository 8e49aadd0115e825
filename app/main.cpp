#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/Startup.h"
#include "app/core/TaskAddresses.h"
#include "app/core/TaskStore.h"
#include "app/core/UnattendedRun.h"
#include "app/core/VersionCheck.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/MessageBoxHook.h"
#include "corelib/LocalTimeZone.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QApplication>
#include <QDateTime>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Qt's own texts (dialog buttons, the file dialog) in the program's language.
void installQtTranslation(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

// The looks are palettes and style sheets over Fusion; the frame applies the chosen one.
void applyStyle()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

// The offscreen platform of headless runs reports window features it does not have
// (size hints, raising) on every window; those notices say nothing about the run.
QtMessageHandler g_previousHandler = nullptr;

void dropOffscreenNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A box can be answered only on a real screen.
bool canAskOnScreen()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// The terminal's questions are answered before any window or display is touched, so that
// `quotra --version` works on a server and in a script.
constexpr const char kUsage[]
    = "usage: quotra [SWITCH...] [LIST]\n"
      "       quotra quotra.kabu:PIECE*PIECE...\n"
      "\n"
      "Opens LIST (.kabu, .xlsx, .xls, .csv, .txt or .json) in the window, or a new list.\n"
      "A switch starts with / or -; letter case does not matter and the first letters\n"
      "decide, so /automatic counts as /Auto.\n"
      "\n"
      "  /Auto          unattended run: update every row once, save the list and exit\n"
      "  /Auto2         unattended run that saves the list as a workbook (.xlsx)\n"
      "  /FolderDIR     with /Auto or /Auto2: save into DIR under the list's name and\n"
      "                 the time (MMDDhhmm) instead of in place\n"
      "  /Dark, /Light  start with the dark or the light look\n"
      "  quotra.kabu:   the switches and the list as one address, pieces cut at \"*\"\n"
      "  --help         print this text and exit\n"
      "  --version      print the version and exit\n";

// Returns the exit status when an argument asks for the help text or the version, which are
// then printed; -1 otherwise. Both are whole words, never switches of the window.
int answerTerminalQuestion(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return EXIT_SUCCESS;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("quotra %s\n", kProgramVersion.toString().toUtf8().constData());
            return EXIT_SUCCESS;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (const int answered = answerTerminalQuestion(argc, argv); answered >= 0)
        return answered;
    tessera::PinLocalTimeZone();
    // 1. Without a display an unattended run (from cron, on a server) uses the offscreen
    //    platform instead of aborting.
    SelectHeadlessPlatform();
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        g_previousHandler = qInstallMessageHandler(dropOffscreenNotices);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quotra"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quotra"));

    // 2. The command line, with its protocol form.
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        arguments.removeFirst();
    CCLineInfo commandLine = CCLineInfo::Parse(arguments);
    commandLine.fileName = LaunchedFilePath(commandLine.fileName);
    InstallMessageBoxHook(commandLine.autoRun);

    // 3. The settings, migrated from older versions when needed.
    const std::unique_ptr<QSettings> store = AppSettings::OpenStore();
    AppSettings settings;
    settings.Load(*store);

    // 4. The language module: without it the program does not start.
    if (!CheckLanguageModule())
        return EXIT_FAILURE;
    settings.currentLanguage = 1041;
    installQtTranslation(app);
    applyStyle();

    // An unattended run needs a list: without one it would wait for a period and then for
    // a file name that nobody gives.
    if (commandLine.autoRun
        && (commandLine.shellCommand != CCLineInfo::FileOpen || commandLine.fileName.isEmpty())) {
        tessera::ShowMessage(
            tessera::ResourceString(Ids::MsgListFileMissing), tessera::MbOk | tessera::MbIconError);
        settings.Save(*store);
        return EXIT_FAILURE;
    }

    // A "file:" address that LaunchedFilePath left as it was names no local file; opened as
    // a path it would be read relative to the working folder.
    if (commandLine.fileName.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        tessera::ShowResourceMessage(
            Ids::MsgAddressNotLocalFile, { commandLine.fileName }, tessera::MbIconError);
        settings.Save(*store);
        return EXIT_FAILURE;
    }
    // An output folder that is missing is an error, never a reason to save elsewhere.
    if (commandLine.autoRun) {
        if (const QString missing = MissingOutputFolderText(commandLine); !missing.isEmpty()) {
            tessera::ShowMessage(missing, tessera::MbOk | tessera::MbIconError);
            settings.Save(*store);
            return EXIT_FAILURE;
        }
    }
    // An unattended run that a "quotra.kabu:" address asks for runs only with the user's
    // consent, unless the address is a registered task's own.
    const LinkRunStart start = HowUnattendedRunStarts(
        commandLine, TaskAddressBook(*store).isRegistered(commandLine.protocolAddress), canAskOnScreen());
    if (start == LinkRunStart::Refuse) {
        tessera::ShowMessage(LinkRunRefusedText(commandLine), tessera::MbOk | tessera::MbIconError);
        settings.Save(*store);
        return EXIT_FAILURE;
    }

    // 5. The main window with its document, opened from the named file or new.
    int status = EXIT_SUCCESS;
    {
        CMainFrame frame(settings, commandLine);
        bool started = true;
        if (start == LinkRunStart::AskFirst) {
            // The window shows first, so that the user sees which program asks.
            frame.placeWindow();
            started = ShowMessageBox(LinkRunQuestion(commandLine, QDateTime::currentDateTime()),
                          tessera::MbYesNo | tessera::MbIconQuestion | tessera::MbDefButton2)
                == tessera::IdYes;
        }
        if (started && commandLine.shellCommand == CCLineInfo::FileOpen && !commandLine.fileName.isEmpty())
            started = frame.openDocument(commandLine.fileName);
        else if (started)
            frame.newDocument();
        if (!started) {
            status = EXIT_FAILURE;
        } else {
            if (start != LinkRunStart::AskFirst)
                frame.placeWindow();
            // Tasks registered before they carried a token get one, once the window is up.
            if (!commandLine.autoRun) {
                QTimer::singleShot(0, &frame, [&store] {
                    TaskAddressBook book(*store);
                    const tessera::Result<int> rewritten = AddTokensToTasks(TaskStore(), book);
                    Q_UNUSED(rewritten); // without a crontab there is nothing to rewrite
                });
            }
            QObject::connect(
                &frame, &CMainFrame::unattendedRunFinished, &app, [&](int result) { status = result; });
            QApplication::exec();
            if (commandLine.autoRun)
                status = frame.unattendedStatus();
        }
    }

    // 6. The settings go back at every exit.
    settings.Save(*store);
    return status;
}
