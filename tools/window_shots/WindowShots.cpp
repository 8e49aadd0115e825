// Takes screenshots of the window at 1024 x 640 with the sample site's codes: the list as
// it opens, with a selection and the sorted column, with the header menu, and with the key
// tips. The rows are fetched from quotra-sample-site on loopback, so the pictures show what
// a user sees after an update (an unknown code included, as an error row).
//
//   QT_QPA_PLATFORM=offscreen build/bin/window_shots OUTDIR [--dark]
// --dark takes the pictures with a dark palette, to see what the table rules and the
// cell painting do on a dark background.

#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CCustomiseDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CommandTable.h"
#include "app/ui/FrameServices.h"
#include "app/ui/KeyTips.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"
#include "tools/sample-site/SamplePages.h"
#include "view/widgets/CQuotraView.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QPalette>
#include <QProcess>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Lets the window finish what it shows (the status bar's full progress bar stays 100 ms).
void settle()
{
    QEventLoop wait;
    QTimer::singleShot(250, &wait, &QEventLoop::quit);
    wait.exec();
}

bool save(QWidget &w, const QString &path)
{
    settle();
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_shots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QStandardPaths::setTestModeEnabled(true);
    if (!tessera::LanguageModule::instance().load())
        return 1;
    tessera::SetMessageHandler([](const QString &text, unsigned) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return int(tessera::IdNo);
    });
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (argc > 2 && QByteArray(argv[2]) == "--dark") {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        dark.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
        dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
        dark.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
        dark.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8));
        dark.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xb3));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        QApplication::setPalette(dark);
    }
    QFile sheet(QStringLiteral(":/style/ribbon.qss"));

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quotra-sample-site"),
        { QStringLiteral("--port"), QStringLiteral("0") });
    if (!site.waitForStarted(10000) || !site.waitForReadyRead(20000))
        return 1;
    qputenv("QUOTRA_SITE_ROOT", QByteArray("http://127.0.0.1:") + site.readLine().trimmed().mid(5) + '/');

    AppSettings settings;
    settings.currentLanguage = 1041;
    CMainFrame frame(settings, CCLineInfo());
    if (sheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
    frame.resize(1024, 640);
    frame.newDocument();
    frame.show();

    QStringList codes = samplesite::SampleCodes();
    codes << QStringLiteral("9999");
    QEventLoop loop;
    QObject::connect(
        &frame.document(), &CQuotraDoc::updateFinished, &loop, [&](quint64, bool) { loop.quit(); });
    frame.document().AddCodesFromText(codes.join(u'\n'));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    frame.view().fitAllColumns();

    bool ok = save(frame, out + QStringLiteral("/window.png"));
    CQuotraView &view = frame.view();
    view.sortByHeaderClick(view.listModel().table().header().columnOfField(6), Qt::NoModifier);
    view.selectRows({ 2, 3, 4 });
    view.setFocus();
    ok = save(frame, out + QStringLiteral("/window-selection-sorted.png")) && ok;
    frame.keyTips().showTabLevel();
    ok = save(frame, out + QStringLiteral("/window-keytips.png")) && ok;
    frame.keyTips().leave();
    frame.resize(760, 480);
    ok = save(frame, out + QStringLiteral("/window-narrow.png")) && ok;

    // The About box and both pages of the customisation sheet.
    CAboutDlg about(QString(), QString(), &frame);
    about.show();
    ok = save(about, out + QStringLiteral("/about.png")) && ok;
    about.hide();
    FrameServices &services = frame.services();
    CCustomiseDlg customise(services.categories(), services.currentShortcuts(), services.defaultShortcuts(),
        services.quickAccessCommands(), 0, &frame);
    customise.show();
    ok = save(customise, out + QStringLiteral("/customise-commands.png")) && ok;
    customise.pages()->setCurrentIndex(CCustomiseDlg::KeyboardPage);
    customise.selectCommand(Cmd::Holdings);
    ok = save(customise, out + QStringLiteral("/customise-keyboard.png")) && ok;
    customise.hide();

    frame.document().SetModifiedFlag(false);
    site.kill();
    site.waitForFinished();
    return ok ? 0 : 1;
}
