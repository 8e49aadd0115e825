// Takes screenshots of the window with the sample site's codes: at 1024 x 640 the list as it
// opens, with a selection and the sorted column, with the key tips; then, in each of the four
// looks and in dark mode, the window 640, 800 and 1,600 pixels wide with the list at 100 %
// and 200 % zoom (window-<look>-<width>-<zoom>.png); the popups of the ribbon groups that
// fold at 640 pixels, one with its key tips; the text-colour gallery and the column dialog in
// the blue and the dark look. The rows are fetched from quotra-sample-site on loopback, so
// the pictures show what a user sees after an update (an unknown code included, as a failed
// row at the top, and a few coloured rows).
//
//   QT_QPA_PLATFORM=offscreen build/bin/window_shots OUTDIR

#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/ui/AppearanceController.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/CCustomiseDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/ColorGalleryPopup.h"
#include "app/ui/CommandTable.h"
#include "app/ui/FrameServices.h"
#include "app/ui/KeyTips.h"
#include "app/ui/RibbonBar.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"
#include "tools/common/ToolOptions.h"
#include "tools/sample-site/SamplePages.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CColumnDlg.h"
#include "view/widgets/CQuotraView.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
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

// A key typed on the list, where the key tips pick it up.
void type(QWidget &target, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    static constexpr char kUsage[] = "OUTDIR";
    const ToolOptions command = ParseToolOptions(app.arguments().mid(1), {});
    if (!command.ok())
        return ToolUsageError("window_shots", kUsage, command.error);
    if (command.plain.size() != 1)
        return ToolUsageError("window_shots", kUsage, {});
    const QString out = command.plain.front();
    QDir().mkpath(out);
    QStandardPaths::setTestModeEnabled(true);
    if (!tessera::LanguageModule::instance().load())
        return 1;
    tessera::SetMessageHandler([](const QString &text, unsigned) {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return int(tessera::IdNo);
    });
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    QProcess site;
    site.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quotra-sample-site"),
        { QStringLiteral("--port"), QStringLiteral("0") });
    if (!site.waitForStarted(10000) || !site.waitForReadyRead(20000))
        return 1;
    qputenv("QUOTRA_SITE_ROOT", QByteArray("http://127.0.0.1:") + site.readLine().trimmed().mid(5) + '/');

    AppSettings settings;
    settings.currentLanguage = 1041;
    CCLineInfo commandLine;
    commandLine.themeRequest = CCLineInfo::ThemeLight;
    CMainFrame frame(settings, commandLine);
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
    frame.resize(1024, 640);
    frame.keyTips().leave();

    // A few coloured rows, so that each look shows row colours beside the rules' red.
    AppearanceController &looks = frame.appearance();
    view.selectRows({ 0 });
    looks.pickColour(true, 0xCCF2FF);
    view.selectRows({ 5 });
    looks.pickColour(false, 0xC07000);
    const auto shootLook = [&](const QString &name) {
        view.selectRows({ 2, 3 });
        view.setFocus();
        return save(frame, out + QStringLiteral("/theme-") + name + QStringLiteral(".png"));
    };
    // Every look at three widths and two zooms, the failed row on top (codes descending).
    view.setSort(view.listModel().table().header().columnOfField(1), false, false);
    const auto shootSizes = [&](const QString &look) {
        bool shot = true;
        for (const int zoom : { 100, 200 }) {
            looks.setZoom(zoom);
            for (const int width : { 640, 800, 1600 }) {
                frame.resize(width, 640);
                view.clearSelection();
                view.scrollToTop();
                shot
                    = save(frame, out + QStringLiteral("/window-%1-%2-%3.png").arg(look).arg(width).arg(zoom))
                    && shot;
            }
        }
        looks.setZoom(100);
        return shot;
    };
    // At 640 pixels the groups that fold show as popups: each one open, and the first with
    // the key tips its button's tip shows there.
    const auto shootFoldedGroups = [&](const QString &look) {
        frame.resize(640, 640);
        settle();
        RibbonBar &ribbon = frame.ribbon();
        bool shot = true;
        bool withTips = true;
        for (int g = 0; g < ribbon.groupCount(); ++g) {
            if (!ribbon.isFolded(g))
                continue;
            QWidget *popup = ribbon.groupPopup(g);
            if (withTips) {
                frame.keyTips().showTabLevel();
                type(view, Qt::Key_H, QStringLiteral("h"));
                const QString tip = [&] {
                    for (const RibbonBar::KeyTip &t : ribbon.controlTips()) {
                        if (t.widget == ribbon.foldedButton(g))
                            return t.tip;
                    }
                    return QString();
                }();
                for (const QChar c : tip)
                    type(view, Qt::Key(Qt::Key_A + (c.unicode() - u'A')), QString(c).toLower());
                shot = save(*popup, out + QStringLiteral("/group-keytips-%1.png").arg(look)) && shot;
                frame.keyTips().leave();
                popup->close();
                withTips = false;
            }
            ribbon.openGroup(g);
            shot = save(*popup, out + QStringLiteral("/group-%1-%2.png").arg(g).arg(look)) && shot;
            popup->close();
        }
        frame.resize(1024, 640);
        return shot;
    };
    const char *names[] = { "blue", "black", "silver", "aqua" };
    for (int k = 0; k < 4; ++k) {
        looks.applyTheme(4001 + k);
        ok = shootLook(QString::fromLatin1(names[k])) && ok;
        ok = shootSizes(QString::fromLatin1(names[k])) && ok;
    }
    looks.applyTheme(4001);
    ok = shootFoldedGroups(QStringLiteral("blue")) && ok;
    // Dark mode as the desktop switches it, and back.
    const int before = looks.currentTheme();
    looks.setDarkMode(true);
    ok = shootLook(QStringLiteral("dark-mode")) && ok;
    ok = shootSizes(QStringLiteral("dark")) && ok;
    ok = shootFoldedGroups(QStringLiteral("dark")) && ok;

    // The text-colour gallery, open under its button, and the column dialog.
    const auto shootPopups = [&](const QString &suffix) {
        QMenu *menu = looks.galleryMenu(false);
        menu->popup(frame.mapToGlobal(QPoint(700, 100)));
        settle();
        bool shot = save(*menu, out + QStringLiteral("/gallery-") + suffix + QStringLiteral(".png"));
        menu->close();
        ColumnLayout layout = view.saveLayout();
        CColumnDlg dialog(layout, &frame);
        dialog.show();
        shot
            = save(dialog, out + QStringLiteral("/column-dialog-") + suffix + QStringLiteral(".png")) && shot;
        dialog.close();
        return shot;
    };
    ok = shootPopups(QStringLiteral("dark")) && ok;
    looks.setDarkMode(false);
    if (looks.currentTheme() != before)
        ok = false;
    looks.applyTheme(4001);
    ok = shootPopups(QStringLiteral("blue")) && ok;

    frame.document().SetModifiedFlag(false);
    site.kill();
    site.waitForFinished();
    return ok ? 0 : 1;
}
