#include "app/ui/CMainFrame.h"
#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/FileDialogFilters.h"
#include "app/core/UpdateSchedule.h"
#include "app/core/WindowPlacement.h"
#include "app/ui/AppearanceController.h"
#include "app/ui/ColorGalleryPopup.h"
#include "app/ui/CommandTable.h"
#include "app/ui/KeyTips.h"
#include "app/ui/PeriodSpinBox.h"
#include "app/ui/RibbonBar.h"
#include "app/ui/StatusBarPanes.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/ListFile.h"
#include "view/table/ListTableModel.h"
#include "view/widgets/CQuotraView.h"

#include "app/ui/AlertNotifier.h"
#include "app/ui/CAlertDlg.h"
#include "app/ui/FrameServices.h"
#include "app/ui/PriceWatch.h"
#include "history/AlertBook.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WindowTestSetup.h"
#include "view/history/HistoryPane.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

QString binDir()
{
    return QFileInfo(QFileInfo(u"/proc/self/exe"_s).canonicalFilePath()).absolutePath();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The sample site on a free port for one test; its root address, or empty.
class Site {
public:
    ~Site()
    {
        if (m_site.state() != QProcess::NotRunning) {
            m_site.kill();
            m_site.waitForFinished();
        }
    }
    QString start()
    {
        m_site.start(binDir() + u"/quotra-sample-site"_s, { u"--port"_s, u"0"_s });
        if (!m_site.waitForStarted())
            return {};
        QByteArray out;
        for (int tries = 0; tries < 200 && !out.contains('\n'); ++tries) {
            m_site.waitForReadyRead(100);
            out += m_site.readAllStandardOutput();
        }
        const QByteArray line = out.left(out.indexOf('\n')).trimmed();
        if (!line.startsWith("port "))
            return {};
        return u"http://127.0.0.1:"_s + QString::fromLatin1(line.mid(5)) + u'/';
    }

private:
    QProcess m_site;
};

} // namespace

class CMainFrameTest : public QObject {
    Q_OBJECT

private:
    AppSettings settings;
    QStringList messages;
    QList<int> answers; // the answers of the next message boxes; IdOk when none is left
    QTemporaryDir dir;
    // The frame's dialogs: cancelled unless a test answers; its messages take the path of
    // every other message, to `messages` and `answers`.
    FakePrompts prompts;

    std::unique_ptr<CMainFrame> makeFrame(const CCLineInfo &commandLine = {})
    {
        return std::make_unique<CMainFrame>(settings, commandLine, prompts);
    }
    // The path a save dialog was asked to propose: its folder and file name.
    static QString proposedPath(const FileQuestion &q) { return QDir(q.folder).filePath(q.suggested); }
    // The frame `width` pixels wide, shown, once its ribbon has that width.
    void showAtWidth(CMainFrame &frame, int width)
    {
        frame.resize(width, 600);
        frame.show();
        // The progress pane of the last run goes a moment after the run; it widens the bar.
        QVERIFY(QTest::qWaitFor([&] { return frame.statusPanes().progressPane()->isHidden(); }));
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(QTest::qWaitFor([&] { return frame.ribbon().width() == width; }));
        QCoreApplication::processEvents();
    }
    static QWidget *tipWidget(const QList<RibbonBar::KeyTip> &tips, const QString &tip)
    {
        for (const RibbonBar::KeyTip &t : tips) {
            if (t.tip == tip)
                return t.widget;
        }
        return nullptr;
    }
    void typeTips(QWidget *target, const QString &letters)
    {
        for (const QChar c : letters)
            QTest::keyClick(target, c.toLatin1());
    }
    // A list file of `rows` with its own layout of three columns, sorted by code.
    QString listFile(const QString &name, std::initializer_list<RowSpec> rows, bool codesAscending = true)
    {
        const QString path = dir.filePath(name);
        writeFile(path,
            WriteListFile(MakeRows(rows),
                MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, codesAscending)));
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(PrepareWindowTests());
        tessera::SetMessageHandler([this](const QString &text, unsigned style) {
            messages << text;
            return answers.isEmpty() ? tessera::DefaultMessageResult(style) : answers.takeFirst();
        });
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        ResetWindowSettings(settings);
        messages.clear();
        answers.clear();
        prompts = FakePrompts();
        prompts.onMessage
            = [](const QString &text, unsigned style) { return tessera::ShowMessage(text, style); };
    }

    void titleFollowsTheDocument()
    {
        auto frame = makeFrame();
        frame->newDocument();
        QCOMPARE(frame->windowTitle(), tessera::ResourceString(Ids::NewListTitle) + u" - Quotra"_s);
        QVERIFY(frame->openDocument(listFile(u"a.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        QCOMPARE(frame->windowTitle(), u"a.kabu - Quotra"_s);
        frame->document().MarkModified();
        QCOMPARE(frame->windowTitle(), u"a.kabu * - Quotra"_s);
    }

    // The file's own layout comes with its rows: the view is rebuilt and sorted once, in
    // that layout's sort (codes descending here, against the document's ascending order).
    void openingAListWithItsLayoutRebuildsTheViewOnce()
    {
        auto frame = makeFrame();
        const QString path = listFile(u"once.kabu"_s,
            { { u"6758"_s, u"3,400"_s }, { u"7203"_s, u"2,500"_s }, { u"9432"_s, u"150"_s } }, false);
        auto *model = qobject_cast<ListTableModel *>(frame->view().model());
        QVERIFY(model);
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        QVERIFY(frame->openDocument(path));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(frame->view().rowCount(), 3);
        QCOMPARE(model->record(0)->code, u"9432"_s);
        QCOMPARE(model->record(2)->code, u"6758"_s);

        // A file that cannot be read leaves the rows shown as they were.
        const QString broken = dir.filePath(u"broken.kabu"_s);
        writeFile(broken, QByteArray("not a list"));
        QVERIFY(!frame->openDocument(broken));
        QCOMPARE(frame->view().rowCount(), 3);
        QCOMPARE(model->record(0)->code, u"9432"_s);
    }

    void rankingAndScheduleAreCommandsWithTheirKeys()
    {
        auto frame = makeFrame();
        frame->newDocument();
        QVERIFY(frame->action(Cmd::Ranking)->isEnabled());
        QVERIFY(frame->action(Cmd::Ranking)->shortcuts().contains(QKeySequence(u"Ctrl+R"_s)));
        QVERIFY(frame->action(Cmd::Schedule)->isEnabled());
        QVERIFY(frame->action(Cmd::Schedule)->shortcuts().contains(QKeySequence(u"F10"_s)));
        // A list without a file cannot be scheduled yet.
        frame->action(Cmd::Schedule)->trigger();
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgSaveListBeforeTask) });
    }

    void saveModifiedYesNoCancel()
    {
        auto frame = makeFrame();
        const QString path = listFile(u"b.kabu"_s, { { u"7203"_s, u"2,500"_s } });
        QVERIFY(frame->openDocument(path));
        const QByteArray before = [&] {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        frame->document().removeRows({ u"7203"_s });
        frame->document().MarkModified();

        answers = { tessera::IdCancel };
        QVERIFY(!frame->SaveModified());
        QVERIFY(frame->document().IsModified());
        QCOMPARE(frame->document().title(), u"b.kabu *"_s);
        QCOMPARE(messages.last(), tessera::FormatResourceString(Ids::MsgSaveChanges, { u"b.kabu"_s }));

        answers = { tessera::IdNo };
        QVERIFY(frame->SaveModified());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();

        answers = { tessera::IdYes };
        QVERIFY(frame->SaveModified());
        QVERIFY(!frame->document().IsModified());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll() != before);
    }

    // Save on a list opened from a workbook asks for a list file beside it; the workbook is
    // written only when the user chooses it in the dialog.
    void savingAWorkbookListProposesAListFileBesideIt()
    {
        auto frame = makeFrame();
        const QString book = dir.filePath(u"book.xlsx"_s);
        QVERIFY(QFile::copy(quotra::test::dataPath(u"workbooks/holdings.xlsx"), book));
        QVERIFY(frame->openDocument(book));
        const QByteArray before = readAll(book);
        QStringList proposed;
        prompts.onSaveFile = [&](const FileQuestion &q) {
            proposed << proposedPath(q);
            return QString();
        };
        QVERIFY(!frame->save());
        QCOMPARE(proposed, QStringList { dir.filePath(u"book.kabu"_s) });
        QCOMPARE(readAll(book), before);

        prompts.onSaveFile = [&](const FileQuestion &q) { return proposedPath(q); };
        QVERIFY(frame->save());
        QCOMPARE(frame->document().GetPathName(), dir.filePath(u"book.kabu"_s));
        QVERIFY(ReadListFile(readAll(dir.filePath(u"book.kabu"_s))).ok());
        QCOMPARE(readAll(book), before);

        QVERIFY(frame->openDocument(book));
        prompts.onSaveFile = [&](const FileQuestion &) { return book; };
        QVERIFY(frame->save());
        QVERIFY(readAll(book) != before);
        QCOMPARE(frame->document().GetPathName(), book);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'|')));
    }

    // Yes to the question on a list kept as CSV saves the list as a list file, asking for its
    // name; an export chosen instead asks again; Cancel there cancels the action.
    void yesOnACsvListSavesAListFileAndGoesOn()
    {
        auto frame = makeFrame();
        const QString csv = dir.filePath(u"codes.csv"_s);
        writeFile(csv, "7203\r\n6758\r\n");
        QVERIFY(frame->openDocument(csv));
        frame->document().MarkModified();
        QStringList proposed;
        prompts.onSaveFile = [&](const FileQuestion &q) {
            proposed << proposedPath(q);
            return QString();
        };
        answers = { tessera::IdYes };
        frame->action(Cmd::New)->trigger();
        QCOMPARE(proposed, QStringList { dir.filePath(u"codes.kabu"_s) });
        QCOMPARE(frame->document().rows().size(), size_t(2));
        QCOMPARE(frame->document().title(), u"codes.csv *"_s);

        proposed.clear();
        prompts.onSaveFile = [&](const FileQuestion &q) {
            proposed << proposedPath(q);
            return proposed.size() == 1 ? dir.filePath(u"copy.csv"_s) : proposedPath(q);
        };
        answers = { tessera::IdYes };
        frame->action(Cmd::New)->trigger();
        QCOMPARE(proposed.size(), 2);
        QVERIFY(QFile::exists(dir.filePath(u"copy.csv"_s)));
        QCOMPARE(readAll(csv), QByteArray("7203\r\n6758\r\n"));
        auto saved = ReadListFile(readAll(dir.filePath(u"codes.kabu"_s)));
        QVERIFY(saved.ok());
        QCOMPARE(saved->rows.size(), size_t(2));
        QVERIFY2(frame->document().rows().empty(), "the new list replaced the saved one");
        QVERIFY(!frame->document().IsModified());
    }

    void newListAsksBeforeDiscardingChanges()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"c.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        frame->document().MarkModified();
        answers = { tessera::IdCancel };
        frame->action(Cmd::New)->trigger();
        QCOMPARE(frame->document().rows().size(), size_t(1));
        answers = { tessera::IdNo };
        frame->action(Cmd::New)->trigger();
        QVERIFY(frame->document().rows().empty());
        QVERIFY(!frame->document().IsModified());
    }

    void aFileThatIsNoListKeepsTheOpenList()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"d.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        frame->document().MarkModified();
        const QString bad = dir.filePath(u"bad.kabu"_s);
        writeFile(bad, QByteArray("\x01\x02garbage", 9));
        QVERIFY(!frame->openDocument(bad));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(QFileInfo(bad).absoluteFilePath()));
        QCOMPARE(frame->document().title(), u"d.kabu *"_s);
        QCOMPARE(frame->view().rowCount(), 1);
        QVERIFY(frame->document().IsModified());
    }

    void commandsAreEnabledByTheSelection()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(
            listFile(u"e.kabu"_s, { { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } })));
        QVERIFY(!frame->action(Cmd::Delete)->isEnabled());
        QVERIFY(!frame->action(Cmd::Chart)->isEnabled());
        frame->view().selectRows({ 0 });
        QVERIFY(frame->action(Cmd::Delete)->isEnabled());
        QVERIFY(frame->action(Cmd::Chart)->isEnabled());
        frame->view().selectRows({ 0, 1 });
        QVERIFY2(!frame->action(Cmd::Chart)->isEnabled(), "the chart needs exactly one row");
        QVERIFY(!frame->action(Cmd::SelectAll)->isEnabled());
        QVERIFY2(frame->action(Cmd::Find)->isEnabled(), "find needs rows, not a selection");
        QVERIFY(frame->action(Cmd::FindNext)->isEnabled());
        QCOMPARE(frame->statusPanes().selectedPane()->text(),
            tessera::FormatResourceString(Ids::PaneSelectedRows, { u"2"_s }));
    }

    void keyboardReachesTheCommands()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(
            listFile(u"f.kabu"_s, { { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } })));
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        frame->view().setFocus();
        QTest::keyClick(&frame->view(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(frame->view().selectedCount(), 2);
        QTest::keyClick(&frame->view(), Qt::Key_Delete);
        QCOMPARE(frame->view().rowCount(), 0);
        // Space moves into the code box; Enter there adds the code.
        QTest::keyClick(&frame->view(), Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), frame->codeBox());
        QTest::keyClicks(frame->codeBox(), u"7203.t"_s);
        QCOMPARE(frame->codeBox()->text(), u"7203.T"_s);
        frame->codeBox()->clear();
        QTest::keyClicks(frame->codeBox(), u"72 03"_s);
        QCOMPARE(frame->codeBox()->text(), u"7203"_s);
        QTest::keyClick(frame->codeBox(), Qt::Key_Return);
        frame->document().StopUpdate();
        QCOMPARE(frame->view().rowCount(), 1);
        QCOMPARE(frame->view().selectedCodes(), QStringList({ u"7203"_s }));
    }

    void keyTipsShowAndTriggerCommands()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"g.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        showAtWidth(*frame, 1024); // every group whole
        frame->view().setFocus();
        KeyTips &tips = frame->keyTips();
        QTest::keyPress(&frame->view(), Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(&frame->view(), Qt::Key_Alt, Qt::NoModifier);
        QCOMPARE(tips.level(), KeyTips::Level::Tab);
        QVERIFY(tips.visibleTips().contains(u"F"_s));
        QVERIFY(tips.visibleTips().contains(u"H"_s));
        QTest::keyClick(&frame->view(), Qt::Key_H);
        QCOMPARE(tips.level(), KeyTips::Level::Controls);
        QVERIFY(tips.visibleTips().contains(u"SA"_s));
        // "S" narrows to the tips that start with it; Escape goes back one level.
        QTest::keyClick(&frame->view(), Qt::Key_S);
        for (const QString &t : tips.visibleTips())
            QVERIFY2(t.startsWith(u'S'), qPrintable(t));
        QTest::keyClick(&frame->view(), Qt::Key_Escape);
        QCOMPARE(tips.level(), KeyTips::Level::Controls);
        QTest::keyClick(&frame->view(), Qt::Key_Escape);
        QCOMPARE(tips.level(), KeyTips::Level::Tab);
        QTest::keyClick(&frame->view(), Qt::Key_H);
        QSignalSpy fit(frame->action(Cmd::FitColumns), &QAction::triggered);
        QTest::keyClick(&frame->view(), Qt::Key_S);
        QTest::keyClick(&frame->view(), Qt::Key_Z);
        QCOMPARE(fit.count(), 1);
        QCOMPARE(tips.level(), KeyTips::Level::Off);
        QVERIFY(tips.visibleTips().isEmpty());
    }

    // Every command can be given without the mouse: by a shortcut, by a key tip of its own,
    // or from a menu that a key tip opens (the File, style, help and colour menus).
    void everyCommandIsReachableByKeyboard()
    {
        auto frame = makeFrame();
        const RibbonBar &ribbon = frame->ribbon();
        QStringList tips;
        QSet<QAction *> inMenus;
        std::function<void(QMenu *)> collect = [&](QMenu *menu) {
            for (QAction *a : menu->actions()) {
                inMenus.insert(a);
                if (a->menu())
                    collect(a->menu());
            }
        };
        for (const QList<RibbonBar::KeyTip> *level : { &ribbon.tabLevelTips(), &ribbon.controlTips() }) {
            QStringList levelTips;
            for (const RibbonBar::KeyTip &t : *level) {
                levelTips << t.tip;
                if (auto *button = qobject_cast<QToolButton *>(t.widget); button && button->menu())
                    collect(button->menu());
            }
            tips << levelTips;
            QCOMPARE(levelTips.removeDuplicates(), 0); // a tip names one control of its level
            // A tip that begins another of its level would fire before the longer one is typed.
            for (const QString &a : levelTips) {
                for (const QString &b : levelTips)
                    QVERIFY2(a == b || !b.startsWith(a), qPrintable(a + u" begins "_s + b));
            }
        }
        QStringList unreachable;
        for (const CommandDef &def : CommandTable()) {
            if (!def.available)
                continue;
            QAction *action = frame->action(def.id);
            QVERIFY2(action, qPrintable(QString::number(def.id)));
            const bool byShortcut = !action->shortcuts().isEmpty();
            const bool byTip = def.keyTip[0] != 0 && tips.contains(QLatin1StringView(def.keyTip));
            if (!byShortcut && !byTip && !inMenus.contains(action))
                unreachable << QString::number(def.id);
        }
        QVERIFY2(unreachable.isEmpty(), qPrintable(unreachable.join(u", ")));
    }

    // At 1,600 pixels the ribbon shows every group whole; at 800 and 640 the Settings and
    // View groups fold into buttons and the rest stays in view. A folded group's controls
    // show, and work, in its popup; the key tips reach them through the group's own tip.
    void narrowWindowsFoldRibbonGroups()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"fold.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        RibbonBar &ribbon = frame->ribbon();
        const QStringList foldingAt800 = { tessera::ResourceString(Ids::CaptionGroupView),
            tessera::ResourceString(Ids::CaptionGroupSettings) };
        for (const int width : { 1600, 800, 640 }) {
            showAtWidth(*frame, width);
            QStringList folded;
            for (int g = 0; g < ribbon.groupCount(); ++g) {
                const bool isFolded = ribbon.isFolded(g);
                if (isFolded)
                    folded << ribbon.groupCaption(g);
                QVERIFY(width < 1600 || ribbon.showsCaptions(g));
                // Nothing is cut off at the right: each group's controls, or its button.
                QList<QWidget *> shown { ribbon.foldedButton(g) };
                if (!isFolded) {
                    shown.clear();
                    for (const RibbonBar::KeyTip &t : ribbon.groupTips(g))
                        shown << t.widget;
                }
                for (QWidget *w : shown) {
                    QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
                    QVERIFY2(
                        w->mapTo(&ribbon, QPoint(w->width(), 0)).x() <= width, qPrintable(w->objectName()));
                }
                if (!isFolded)
                    continue;
                QWidget *popup = ribbon.groupPopup(g);
                for (const RibbonBar::KeyTip &t : ribbon.groupTips(g))
                    QVERIFY(!t.widget->isVisible());
                ribbon.openGroup(g);
                QVERIFY(popup->isVisible());
                for (const RibbonBar::KeyTip &t : ribbon.groupTips(g)) {
                    QVERIFY2(t.widget->isVisible() && t.widget->window() == popup, qPrintable(t.tip));
                    QVERIFY(popup->rect().contains(
                        QRect(t.widget->mapTo(popup, QPoint(0, 0)), t.widget->size())));
                }
                popup->close();
            }
            QCOMPARE(folded, width < 1600 ? foldingAt800 : QStringList());
        }

        // At 640: Alt, H, then the Settings group's tip opens its popup with its controls'
        // tips; Escape closes it again; TM there goes into the period box.
        const int settingsGroup = 3;
        QWidget *popup = ribbon.groupPopup(settingsGroup);
        KeyTips &tips = frame->keyTips();
        QWidget *view = &frame->view();
        view->setFocus();
        QTest::keyPress(view, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(view, Qt::Key_Alt, Qt::NoModifier);
        QTest::keyClick(view, Qt::Key_H);
        QVERIFY(tips.visibleTips().contains(u"ZS"_s));
        QVERIFY(!tips.visibleTips().contains(u"TM"_s));
        typeTips(view, u"zs"_s);
        QCOMPARE(tips.level(), KeyTips::Level::Group);
        QVERIFY(popup->isVisible());
        QStringList shownTips = tips.visibleTips();
        shownTips.sort();
        QCOMPARE(shownTips, QStringList({ u"BC"_s, u"TC"_s, u"TM"_s }));
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(tips.level(), KeyTips::Level::Controls);
        QVERIFY(!popup->isVisible());
        typeTips(view, u"zstm"_s);
        QCOMPARE(tips.level(), KeyTips::Level::Off);
        PeriodSpinBox *period = frame->periodBox();
        QCOMPARE(period->window(), popup);
        QTest::keyClicks(period, u"15"_s);
        QTest::keyClick(period, Qt::Key_Return);
        QCOMPARE(settings.updateSpan, quint64(15 * 60));
        QVERIFY2(!popup->isVisible(), "the value taken, the popup closes");

        // The text colour chosen in the popup's gallery: the colour applies, the popup closes.
        ribbon.openGroup(settingsGroup);
        auto *textColour = qobject_cast<QToolButton *>(tipWidget(ribbon.groupTips(settingsGroup), u"TC"_s));
        QVERIFY(textColour && textColour->menu());
        ColorGalleryPopup *gallery = frame->appearance().gallery(false);
        QTimer::singleShot(0, gallery,
            [gallery] { QTest::mouseClick(gallery, Qt::LeftButton, {}, gallery->cellRect(15).center()); });
        textColour->showMenu();
        QCOMPARE(settings.textColor, gallery->colourOf(15));
        QVERIFY(!popup->isVisible());

        // Wide again, the groups are whole and their controls back in the window.
        showAtWidth(*frame, 1600);
        for (int g = 0; g < ribbon.groupCount(); ++g)
            QVERIFY(!ribbon.isFolded(g));
        QCOMPARE(period->window(), frame.get());
        QVERIFY(period->isVisible());
    }

    // The style and help buttons, a colour button and a folded group's button are not drawn
    // hovered once their menu or popup closed with the pointer elsewhere.
    void buttonsLoseTheirHoverWhenTheirPopupCloses()
    {
        auto frame = makeFrame();
        frame->newDocument();
        RibbonBar &ribbon = frame->ribbon();
        // A desktop leaves the button marked under the pointer when the pointer went off to
        // the popup; the popup then closes with the pointer over the list.
        const auto check = [&](QToolButton *button, QWidget *popup) {
            button->setAttribute(Qt::WA_UnderMouse, true);
            QCursor::setPos(frame->view().viewport()->mapToGlobal(QPoint(100, 100)));
            if (auto *menu = qobject_cast<QMenu *>(popup))
                menu->popup(button->mapToGlobal(QPoint(0, button->height())));
            else
                popup->show();
            QTRY_VERIFY(popup->isVisible());
            popup->close();
            QTRY_VERIFY2(!button->underMouse(), qPrintable(button->text()));
            QStyleOption option;
            option.initFrom(button);
            QVERIFY(!(option.state & QStyle::State_MouseOver));
        };
        showAtWidth(*frame, 1600);
        for (const QString &tip : { u"T"_s, u"L"_s }) {
            auto *button = qobject_cast<QToolButton *>(tipWidget(ribbon.tabLevelTips(), tip));
            QVERIFY(button && button->menu());
            check(button, button->menu());
        }
        auto *colour = qobject_cast<QToolButton *>(tipWidget(ribbon.controlTips(), u"BC"_s));
        QVERIFY(colour && colour->menu());
        check(colour, colour->menu());
        showAtWidth(*frame, 640);
        QToolButton *folded = ribbon.foldedButton(3);
        QVERIFY(ribbon.isFolded(3));
        ribbon.openGroup(3);
        check(folded, ribbon.groupPopup(3));
    }

    // F5 with nothing selected updates every row that the one-minute rule allows, and the
    // status bar says so; a list opened with rows never fetched updates them at once, but not
    // in an unattended run, which updates every row a moment later.
    void updatesWithoutASelectionAndOfNeverFetchedRows()
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QString path = dir.filePath(u"never.kabu"_s);
        writeFile(path,
            WriteListFile(
                MakeRows({ { u"7203"_s, {}, u"トヨタ"_s, now - 3600 },
                    { u"6758"_s, u"3,400"_s, {}, now - 3600 }, { u"9432"_s, u"150"_s, {}, now - 10 } }),
                MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true)));
        {
            CCLineInfo unattended;
            unattended.autoRun = true;
            auto frame = makeFrame(unattended);
            QSignalSpy started(&frame->document(), &CQuotraDoc::updateStarted);
            QVERIFY(frame->openDocument(path));
            QCOMPARE(started.count(), 0);
        }
        auto frame = makeFrame();
        CQuotraDoc &doc = frame->document();
        QSignalSpy started(&doc, &CQuotraDoc::updateStarted);
        QSignalSpy finished(&doc, &CQuotraDoc::updateFinished);
        QVERIFY(frame->openDocument(path));
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(1).toInt(), 1); // 7203 only: its name came from the file
        QVERIFY(finished.wait());

        QAction *update = frame->action(Cmd::UpdateSelected);
        QCOMPARE(frame->view().selectedCount(), 0);
        QVERIFY(update->isEnabled());
        QVERIFY(update->toolTip().startsWith(tessera::ResourceString(Ids::TipUpdateCommand)));
        update->trigger();
        QCOMPARE(started.count(), 2);
        QCOMPARE(started.at(1).at(1).toInt(), 1); // 6758; 7203 and 9432 within the minute
        const auto statusShows = [&](const QString &text) {
            const QList<QLabel *> panes = frame->statusPanes().statusBar()->findChildren<QLabel *>();
            return std::any_of(
                panes.begin(), panes.end(), [&](const QLabel *l) { return l->text() == text; });
        };
        QVERIFY(statusShows(tessera::FormatResourceString(Ids::MsgUpdatingAllRows, { u"1"_s })));
        QVERIFY(finished.wait());
        update->trigger();
        QCOMPARE(started.count(), 2);
        QVERIFY(statusShows(tessera::ResourceString(Ids::MsgNoRowDue)));
        QVERIFY(messages.isEmpty());
        // A fetch that failed leaves the row as never fetched.
        QCOMPARE(NeverFetchedRows(doc.rows(), { u"7203"_s, u"6758"_s, u"X"_s }), QStringList({ u"7203"_s }));
    }

    void closingStoresTheWindowAndTheLayout()
    {
        {
            auto frame = makeFrame();
            QVERIFY(frame->openDocument(listFile(u"h.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
            frame->placeWindow();
            frame->view().toggleField(13);
            QVERIFY(frame->close());
            QVERIFY(QSettings().contains(frame->dockingLayoutName() + u"/Geometry"_s));
        }
        QCOMPARE(settings.columnIndex, u"0,1,2,4,13,"_s);
        QCOMPARE(QSettings().value(u"4.00/Recent File List/File1"_s).toString(), dir.filePath(u"h.kabu"_s));
        auto again = makeFrame();
        QCOMPARE(again->recentFiles(), QStringList({ dir.filePath(u"h.kabu"_s) }));
    }

    void unsavedChangesCanStopTheClose()
    {
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(listFile(u"i.kabu"_s, { { u"7203"_s, u"2,500"_s } })));
        frame->show();
        frame->document().MarkModified();
        answers = { tessera::IdCancel };
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        answers = { tessera::IdNo };
        QVERIFY(frame->close());
    }

    void firstPlacementIsCentredOrMaximised()
    {
        const QRect screen(0, 0, 1920, 1080);
        FirstPlacement p = FirstWindowPlacement(screen, 96, 96);
        QCOMPARE(p.geometry, QRect(448, 220, 1024, 640));
        QVERIFY(!p.maximised);
        p = FirstWindowPlacement(screen, 144, 144);
        QCOMPARE(p.geometry.size(), QSize(1536, 960));
        QVERIFY(!p.maximised);
        p = FirstWindowPlacement(QRect(0, 0, 1000, 700), 96, 96);
        QVERIFY(p.maximised);
        // A secondary layout with the available area away from the origin.
        p = FirstWindowPlacement(QRect(100, 30, 1200, 800), 96, 96);
        QCOMPARE(p.geometry.topLeft(), QPoint(188, 110));
    }

    void updateTimerRulesAndCodeBoxText()
    {
        const qint64 now = 1'800'000'000;
        RecordMap rows = MakeRows({ { u"A"_s, {}, {}, now - 59 * 60 }, { u"B"_s, {}, {}, now - 61 * 60 },
            { u"C"_s, {}, {}, now - 60 * 60 } });
        QCOMPARE(DueRows(rows, { u"A"_s, u"B"_s, u"C"_s, u"X"_s }, now, 3600), QStringList({ u"B"_s }));
        QCOMPARE(CodeBoxText(u"7203.t"_s), u"7203.T"_s);
        QCOMPARE(CodeBoxText(u"72 03"_s), u"72"_s);
        QCOMPARE(CodeBoxText(u"^dji"_s), u"^DJI"_s);
        QCOMPARE(CodeBoxText(u"ト7203"_s), QString());
    }

    void fileDialogFilters()
    {
        QCOMPARE(FileDialogFilter(FileDialogKind::Save),
            u"株価リスト ファイル|*.kabu|Excel Files|*.xlsx|CSV Files|*.csv|JSON Files|*.json||"_s);
        QCOMPARE(QtNameFilters(FileDialogFilter(FileDialogKind::Open)),
            QStringList({ u"株価リスト ファイル (*.kabu)"_s, u"Excel Files (*.xlsx *.xls)"_s,
                u"CSV Files (*.csv)"_s, u"Text Files (*.txt)"_s }));
        const QString program = dir.path();
        QDir(program).mkpath(u"lists"_s);
        const QString lists = dir.filePath(u"lists"_s);
        QCOMPARE(DialogStartFolder(lists, program, u"/docs"_s), lists);
        QCOMPARE(DialogStartFolder(program.toUpper() == program ? program : program, program, u"/docs"_s),
            u"/docs"_s);
        QCOMPARE(DialogStartFolder(dir.filePath(u"gone"_s), program, u"/docs"_s), u"/docs"_s);
        QCOMPARE(DialogStartFolder(lists, dir.filePath(u"gone"_s), u"/docs"_s), u"/docs"_s);
    }

    // The program itself: an unattended run against the sample site saves and exits 0, on
    // the offscreen platform and with no display at all.
    void unattendedRunEndToEnd_data()
    {
        QTest::addColumn<bool>("withoutDisplay");
        QTest::addColumn<bool>("folder");
        QTest::newRow("offscreen, in place") << false << false;
        QTest::newRow("no display, into a folder") << true << true;
    }
    void unattendedRunEndToEnd()
    {
        QFETCH(bool, withoutDisplay);
        QFETCH(bool, folder);
        Site site;
        const QString root = site.start();
        QVERIFY(!root.isEmpty());
        QTemporaryDir work;
        const QString list = work.filePath(u"prices.txt"_s);
        writeFile(list, "7203\n6758\n^DJI\n");
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QUOTRA_SITE_ROOT"_s, root);
        env.insert(u"XDG_CONFIG_HOME"_s, work.filePath(u"config"_s));
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        if (withoutDisplay)
            env.remove(u"QT_QPA_PLATFORM"_s);
        else
            env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        program.setProcessEnvironment(env);
        QStringList args = { u"/Auto"_s };
        if (folder) {
            QDir(work.path()).mkdir(u"out"_s);
            args << u"/Folder"_s + work.filePath(u"out"_s);
        }
        args << list;
        program.start(binDir() + u"/quotra"_s, args);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QString saved = work.filePath(u"prices.kabu"_s);
        if (folder) {
            const QStringList files = QDir(work.filePath(u"out"_s)).entryList({ u"prices*.kabu"_s });
            QCOMPARE(files.size(), 1);
            saved = work.filePath(u"out/"_s) + files[0];
        }
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        auto read = ReadListFile(f.readAll());
        QVERIFY(read.ok());
        QCOMPARE(read->rows.size(), size_t(3));
        QVERIFY(!read->rows.at(u"7203"_s)->values[SlotPrice].isEmpty());
    }

    // ---- The price history pane and the alerts

    void historyPaneAndAlertsFollowTheRows()
    {
        const QString history = dir.filePath(u"watch.sqlite"_s);
        qputenv("QUOTRA_HISTORY", history.toUtf8());
        auto frame = makeFrame();
        QVERIFY(frame->openDocument(
            listFile(u"watch.kabu"_s, { { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } })));
        PriceWatch &watch = frame->priceWatch();
        QAction *pane = frame->action(Cmd::PriceHistory);
        QVERIFY(pane->isChecked() && !watch.dock().isHidden()); // a new window shows the pane
        QCOMPARE(watch.pane().codes(), QStringList({ u"6758"_s, u"7203"_s })); // no selection: the first rows
        frame->view().selectCode(u"7203"_s);
        QCOMPARE(watch.pane().codes(), QStringList({ u"7203"_s }));
        pane->trigger();
        QVERIFY(watch.dock().isHidden());
        QVERIFY(!QFileInfo::exists(history)); // showing and reading never make the file

        // Ctrl+L's dialog, answered through the prompts, stores the alert of the selected row.
        prompts.onExec = [](QDialog &d) {
            auto *dlg = qobject_cast<CAlertDlg *>(&d);
            if (!dlg)
                return int(QDialog::Rejected);
            dlg->conditionBox(AlertKind::Above)->setChecked(true);
            dlg->thresholdBox(AlertKind::Above)->setValue(2400);
            return int(QDialog::Accepted);
        };
        frame->action(Cmd::Alert)->trigger();
        auto store = HistoryStore::Open(history, HistoryStore::OpenMode::Existing);
        QVERIFY(store.ok());
        AlertBook book(**store);
        const auto alert = book.find(u"7203"_s);
        QVERIFY(alert.ok() && alert->has_value());
        QCOMPARE((*alert)->conditions.size(), size_t(1));
        QCOMPARE((*alert)->conditions[0].threshold, 2400.0);

        // A run's firing marks the row with its bell and, without a notification service, is
        // said on the status bar.
        HistoryPoint point;
        point.code = u"7203"_s;
        point.time = 1'800'000'000;
        point.values[HistoryPrice] = 2500;
        const auto fired = book.check(std::vector { point });
        QCOMPARE(fired->size(), size_t(1));
        Q_EMIT frame->services().history().alertsFired(*fired);
        const QuoteRecord *row = frame->document().record(u"7203"_s);
        QVERIFY(frame->view().listModel().markContextOf(*row).alertFired);
        QVERIFY(!frame->view().listModel().markContextOf(*frame->document().record(u"6758"_s)).alertFired);
        if (!watch.notifier().available())
            QVERIFY(frame->findChild<QLabel *>(u"Pane0"_s)->text().startsWith(u"7203"_s));
        qunsetenv("QUOTRA_HISTORY");
    }
};

QTEST_MAIN(CMainFrameTest)
#include "CMainFrameTest.moc"
