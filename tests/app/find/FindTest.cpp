#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/DialogPlacement.h"
#include "app/ui/CFindDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/FindController.h"
#include "app/ui/StatusBarPanes.h"
#include "corelib/CJre.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "quotes/QuoteRecord.h"
#include "tests/support/TestPaths.h"
#include "view/table/CellText.h"
#include "view/table/ListTable.h"
#include "view/table/RowFind.h"
#include "view/widgets/CQuotraView.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using tessera::CJre;

class FindTest : public QObject {
    Q_OBJECT

private:
    AppSettings settings;
    QStringList messages;

    void bindEngines(const char *folder)
    {
        CJre::Release();
        if (folder)
            qputenv("QUOTRA_ENGINE_DIR", folder);
        else
            qunsetenv("QUOTRA_ENGINE_DIR");
        CJre::Init(1);
    }

    // A frame showing code, name and price of the rows.
    std::unique_ptr<CMainFrame> frameWith(RecordMap rows, ColumnLayout layout = {})
    {
        auto frame = std::make_unique<CMainFrame>(settings, CCLineInfo {});
        frame->document().replaceRows(std::move(rows));
        if (layout.orderList.isEmpty())
            layout = MakeLayout({ { 1, 0, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true);
        frame->view().refresh(&layout);
        frame->show();
        return frame;
    }
    QStringList selectedCodes(CMainFrame &frame) { return frame.view().selectedCodes(); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(tessera::LanguageModule::instance().load());
        tessera::SetMessageHandler([this](const QString &text, unsigned) {
            messages << text;
            return int(tessera::IdOk);
        });
        qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:1/");
    }
    void cleanupTestCase()
    {
        tessera::SetMessageHandler({});
        CJre::Release();
    }
    void init()
    {
        QSettings().clear();
        settings = AppSettings();
        settings.currentLanguage = 1041;
        messages.clear();
        tessera::CXFindDialog::forgetPosition();
        bindEngines(nullptr); // beside the program: both modules
    }

    // ---- Find in list

    void findNextVisitsEveryMatchOnceAndStopsAtTheEnd()
    {
        auto frame = frameWith(
            MakeRows({ { u"1001"_s, u"10"_s, u"Alpha Motor"_s }, { u"1002"_s, u"20"_s, u"Beta"_s },
                { u"1003"_s, u"30"_s, u"Gamma motor"_s }, { u"1004"_s, u"40"_s, u"MOTORS"_s } }));
        FindController &find = frame->finder();
        QVERIFY(find.matcher().Compile(u"motor"_s, false, false, false));
        QStringList visited;
        while (find.findInList(true) == FindEnd::Found)
            visited << selectedCodes(*frame);
        QCOMPARE(visited, (QStringList { u"1001"_s, u"1003"_s, u"1004"_s }));
        QVERIFY(frame->view().selectedRows().empty()); // the last selection is lost, no wrap
        // Upwards from the last row.
        frame->view().selectRows({ 3 });
        QCOMPARE(find.findInList(false), FindEnd::Found);
        QCOMPARE(selectedCodes(*frame), QStringList { u"1003"_s });
        frame->view().selectRows({ 0, 2 });
        QCOMPARE(find.findInList(false), FindEnd::NotFound); // the first row going up: not found at once
        QCOMPARE(selectedCodes(*frame), QStringList { u"1003"_s }); // only the start row lost it
    }

    void lastRowSelectedFindsNothingDownward()
    {
        auto frame
            = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Motor"_s }, { u"1002"_s, u"20"_s, u"Motor"_s } }));
        frame->view().selectRows({ 1 });
        QVERIFY(frame->finder().matcher().Compile(u"Motor"_s, true, false, false));
        QCOMPARE(frame->finder().findInList(true), FindEnd::NotFound);
        QVERIFY(frame->view().selectedRows().empty());
    }

    void findNextWithoutTextOpensTheDialogAndShows2016WhenNothingIsFound()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        FindController &find = frame->finder();
        find.findNext();
        QVERIFY(find.dialog());
        find.dialog()->textBox()->setEditText(u"zzz"_s);
        QTest::mouseClick(find.dialog()->findChild<QPushButton *>(u"FindNext"_s), Qt::LeftButton);
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgNotFound) });
        QCOMPARE(find.lastText(), u"zzz"_s);
        find.findNext();
        QCOMPARE(messages.size(), 2);
    }

    void nothingFoundIsToldThroughTheFindersPrompts()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        FakePrompts told;
        FindController find(settings, frame->view(), frame.get(), told);
        find.findNext();
        QVERIFY(find.dialog());
        find.dialog()->textBox()->setEditText(u"zzz"_s);
        QTest::mouseClick(find.dialog()->findChild<QPushButton *>(u"FindNext"_s), Qt::LeftButton);
        QCOMPARE(told.messages, QStringList { tessera::ResourceString(Ids::MsgNotFound) });
        QVERIFY(messages.isEmpty());
    }

    void hiddenFieldIsNotSearched()
    {
        RecordMap rows = MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } });
        rows.begin()->second->values.set(SlotMarket, u"secret"_s);
        auto frame = frameWith(std::move(rows));
        QVERIFY(frame->finder().matcher().Compile(u"secret"_s, false, false, false));
        QCOMPARE(frame->finder().findInList(true), FindEnd::NotFound);
        QVERIFY(frame->view().toggleField(FieldMarket));
        QCOMPARE(frame->finder().findInList(true), FindEnd::Found);
    }

    void displayedFormsAreSearched()
    {
        const qint64 when = QDateTime(QDate(2024, 3, 5), QTime(9, 7)).toSecsSinceEpoch();
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"1,234.5"_s, u"Alpha"_s, when } }),
            MakeLayout({ { 1, 0, 50 }, { 4, 1, 80 }, { 14, 0, 120 } }, 1, true));
        CJre &jre = frame->finder().matcher();
        QVERIFY(jre.Compile(u"1,234.5 "_s, true, false, false)); // decimal alignment space
        QCOMPARE(frame->finder().findInList(true), FindEnd::Found);
        frame->view().selectRows({});
        QVERIFY(jre.Compile(u"1234.5"_s, true, false, false)); // the raw value is not shown
        QCOMPARE(frame->finder().findInList(true), FindEnd::NotFound);
        QVERIFY(jre.Compile(u"2024/03/05 09:07"_s, true, false, false));
        QCOMPARE(frame->finder().findInList(true), FindEnd::Found);
    }

    void rightClickedCellBecomesTheInitialText()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"  Alpha"_s } }));
        CQuotraView &view = frame->view();
        QTest::qWait(20);
        const QRect cell = view.visualRect(view.listModel().index(0, 2));
        QContextMenuEvent click(
            QContextMenuEvent::Mouse, cell.center(), view.viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(view.viewport(), &click);
        frame->finder().find();
        QVERIFY(frame->finder().dialog());
        QCOMPARE(frame->finder().dialog()->findText(), u"Alpha"_s);
        frame->finder().dialog()->close();
        QTest::qWait(10);
        QVERIFY(!frame->finder().dialog());

        settings.searchGet = false;
        QCoreApplication::sendEvent(view.viewport(), &click);
        frame->finder().find();
        QCOMPARE(frame->finder().dialog()->findText(), QString()); // the last find text
    }

    void engineLimitStopsTheSearchAndNamesThePattern()
    {
        // The first row's name ends the search at the engine's limit; the second would match.
        auto frame = frameWith(
            MakeRows({ { u"1001"_s, u"10"_s, QString(40, u'a') + u'!' }, { u"1002"_s, u"20"_s, u"aaa"_s } }));
        FindController &find = frame->finder();
        find.find();
        CFindDlg *dlg = find.dialog();
        dlg->findChild<QCheckBox *>(u"Regular1041"_s)->setChecked(true);
        dlg->textBox()->setEditText(u"^(a+)+$"_s);
        dlg->findChild<QPushButton *>(u"FindNext"_s)->click();
        QCOMPARE(
            messages, QStringList { tessera::FormatResourceString(Ids::MsgFindLimit, { u"^(a+)+$"_s }) });
        QVERIFY(messages.front().contains(u"^(a+)+$"_s));
        QVERIFY(frame->view().selectedRows().empty());
        messages.clear();
        find.findNext(); // F3: the same pattern, the same answer
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.front(), tessera::FormatResourceString(Ids::MsgFindLimit, { u"^(a+)+$"_s }));
    }

    void longFindShowsProgressKeepsPaintingAndEscapeStopsIt()
    {
        // Each name costs the backtracking matcher some tens of thousands of steps, far below
        // its limits: the whole find would take seconds.
        RecordMap rows;
        for (int i = 0; i < 20000; ++i) {
            const QString code = QString::number(100000 + i);
            auto r = std::make_unique<QuoteRecord>(code);
            r->values.set(SlotName, QString(16, u'a') + u'!');
            rows.insert_or_assign(code, std::move(r));
        }
        auto frame = frameWith(std::move(rows));
        QVERIFY(frame->finder().matcher().Compile(u"^(a+)+$"_s, true, true, false));
        QElapsedTimer clock;
        qint64 lastTick = -1;
        qint64 longestGap = 0;
        bool progressShown = false;
        QTimer ticker;
        ticker.setInterval(5);
        connect(&ticker, &QTimer::timeout, this, [&] {
            const qint64 now = clock.elapsed();
            if (lastTick >= 0)
                longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
            progressShown = progressShown || frame->statusPanes().isRunning();
            if (now >= 400)
                QTest::keyClick(frame.get(), Qt::Key_Escape);
        });
        clock.start();
        ticker.start();
        const FindEnd end = frame->finder().findInList(true);
        const qint64 took = clock.elapsed();
        ticker.stop();
        QCOMPARE(end, FindEnd::Stopped);
        QVERIFY2(took < 1500, qPrintable(QString::number(took)));
        QVERIFY(progressShown);
        QVERIFY(!frame->statusPanes().isRunning());
        QVERIFY2(longestGap < 150, qPrintable(QString::number(longestGap)));
        QVERIFY(messages.isEmpty());
        QVERIFY(frame->view().selectedRows().empty());
    }

    // ---- The dialog

    void historyKeepsOneEntryPerTextNewestFirst()
    {
        settings.searchStrs = { u"old"_s };
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        QVERIFY(dlg);
        QCOMPARE(dlg->historyEntries(), QStringList { u"old"_s });
        auto *next = dlg->findChild<QPushButton *>(u"FindNext"_s);
        for (const QString &t : { u"alpha"_s, u"ALPHA"_s, u"beta"_s, u"OLD"_s }) {
            dlg->textBox()->setEditText(t);
            next->click();
        }
        QCOMPARE(dlg->historyEntries(), (QStringList { u"beta"_s, u"alpha"_s, u"old"_s }));
        dlg->close();
        QCOMPARE(settings.searchStrs, (QStringList { u"beta"_s, u"alpha"_s, u"old"_s }));
    }

    void textLongerThanTheLimitIsCut()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        QLineEdit *edit = frame->finder().dialog()->textBox()->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString(100, u'x'));
        QCOMPARE(edit->text().size(), qsizetype(tessera::CXFindDialog::kMaxTextLength));
    }

    void findNextButtonNeedsText()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        auto *next = dlg->findChild<QPushButton *>(u"FindNext"_s);
        dlg->textBox()->setEditText(QString());
        QVERIFY(!next->isEnabled());
        dlg->textBox()->setEditText(u"a"_s);
        QVERIFY(next->isEnabled());
        QVERIFY(next->isDefault());
    }

    void refusedPatternKeepsTheDialogOpenAndSearchesNothing()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha(1"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        dlg->findChild<QCheckBox *>(u"Regular1041"_s)->setChecked(true);
        dlg->textBox()->setEditText(u"a(1"_s);
        dlg->findChild<QPushButton *>(u"FindNext"_s)->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.front().contains(u"offset"_s));
        QVERIFY(frame->view().selectedRows().empty());
        QVERIFY(dlg->isVisible());
        QVERIFY(settings.searchRegular); // the options were stored first
    }

    void compilesOnlyWhenTextOrOptionsChange()
    {
        auto frame
            = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s }, { u"1002"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        auto *next = dlg->findChild<QPushButton *>(u"FindNext"_s);
        dlg->textBox()->setEditText(u"alpha"_s);
        next->click();
        QCOMPARE(selectedCodes(*frame), QStringList { u"1001"_s });
        // Another compile behind the dialog's back; the same text and options do not compile again.
        frame->finder().matcher().Compile(u"nothing"_s, false, false, false);
        next->click();
        QVERIFY(frame->view().selectedRows().empty());
        QCOMPARE(messages.size(), 1);
        frame->view().selectRows({});
        dlg->findChild<QCheckBox *>(u"MatchCase1040"_s)->setChecked(true);
        dlg->textBox()->setEditText(u"Alpha"_s);
        next->click();
        QCOMPARE(selectedCodes(*frame), QStringList { u"1001"_s });
    }

    void optionBoxesFollowTheEngines()
    {
        settings.searchRegular = true;
        settings.searchFuzzy = true;
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        QVERIFY(dlg->findChild<QCheckBox *>(u"Regular1041"_s)->isEnabled());
        QVERIFY(dlg->findChild<QCheckBox *>(u"Fuzzy1048"_s)->isChecked());
        QVERIFY(dlg->findChild<QPushButton *>(u"FuzzyOptions1024"_s)->isEnabled());
        QCOMPARE(dlg->infoText(), u"HMJRE.SO V1.0"_s);
        dlg->findChild<QCheckBox *>(u"Regular1041"_s)->setChecked(false);
        dlg->findChild<QCheckBox *>(u"Fuzzy1048"_s)->setChecked(false);
        QCOMPARE(dlg->infoText(), QString());
        QVERIFY(!dlg->findChild<QPushButton *>(u"FuzzyOptions1024"_s)->isEnabled());
        dlg->close();

        bindEngines(quotra::test::engineSet(u"regex-only").constData());
        frame->finder().find();
        dlg = frame->finder().dialog();
        QVERIFY(dlg->findChild<QCheckBox *>(u"Regular1041"_s)->isChecked());
        QVERIFY(!dlg->findChild<QCheckBox *>(u"Fuzzy1048"_s)->isEnabled());
        QVERIFY(!dlg->findChild<QCheckBox *>(u"Fuzzy1048"_s)->isChecked());
        QCOMPARE(dlg->infoText(), u"JRE32.SO V1.0"_s);
        dlg->close();

        bindEngines(quotra::test::engineSet(u"none").constData());
        frame->finder().find();
        dlg = frame->finder().dialog();
        QVERIFY(!dlg->findChild<QCheckBox *>(u"Regular1041"_s)->isEnabled());
        QVERIFY(!dlg->findChild<QCheckBox *>(u"Regular1041"_s)->isChecked());
        QCOMPARE(dlg->infoText(), QString());
        dlg->textBox()->setEditText(u"alpha"_s);
        dlg->findChild<QPushButton *>(u"FindNext"_s)->click();
        QCOMPARE(selectedCodes(*frame), QStringList { u"1001"_s }); // plain search
    }

    void fuzzyOptionsAreStoredAndTakeEffect()
    {
        settings.searchFuzzy = true;
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"トヨタ"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        dlg->textBox()->setEditText(u"とよた"_s);
        auto *next = dlg->findChild<QPushButton *>(u"FindNext"_s);
        next->click();
        QCOMPARE(selectedCodes(*frame), QStringList { u"1001"_s });
        frame->view().selectRows({});
        // Kana folding switched off in the options dialog.
        QTimer::singleShot(0, this, [] {
            QWidget *options = QApplication::activeModalWidget();
            QVERIFY(options);
            options->findChild<QCheckBox *>(u"FoldKana"_s)->setChecked(false);
            QMetaObject::invokeMethod(options, "accept");
        });
        dlg->findChild<QPushButton *>(u"FuzzyOptions1024"_s)->click();
        QCOMPARE(settings.fuzzyOptions, quint32(JRE_FOLD_WIDTH | JRE_FOLD_CASE));
        next->click(); // compiles again: the reopened engine forgot the find string
        QVERIFY(frame->view().selectedRows().empty());
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgNotFound) });
        // Cancelled: nothing changes.
        QTimer::singleShot(0, this, [] {
            if (QWidget *options = QApplication::activeModalWidget())
                QMetaObject::invokeMethod(options, "reject");
        });
        dlg->findChild<QPushButton *>(u"FuzzyOptions1024"_s)->click();
        QCOMPARE(settings.fuzzyOptions, quint32(JRE_FOLD_WIDTH | JRE_FOLD_CASE));
        CJre::SetFuzzyFold(JRE_FOLD_ALL);
    }

    void positionIsKeptForTheProcess()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        frame->finder().dialog()->move(123, 77);
        const QPoint kept = frame->finder().dialog()->pos();
        frame->finder().dialog()->close();
        QTest::qWait(10);
        frame->finder().find();
        QCOMPARE(frame->finder().dialog()->pos(), kept);
    }

    void theDialogMovesOffTheRowItFound()
    {
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s },
            { u"1002"_s, u"20"_s, u"Beta"_s }, { u"1003"_s, u"30"_s, u"Gamma"_s } }));
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        CQuotraView &view = frame->view();
        const auto rowOnScreen = [&view](int row) {
            return QRect(view.viewport()->mapToGlobal(QPoint(0, view.rowViewportPosition(row))),
                QSize(view.viewport()->width(), view.rowHeight(row)));
        };
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        auto *findNext = dlg->findChild<QPushButton *>(u"FindNext"_s);
        // Over the row it is about to find: it moves just above or below it, left edge kept.
        dlg->move(dlg->x(), rowOnScreen(2).center().y() - dlg->frameGeometry().height() / 2);
        const int left = dlg->frameGeometry().left();
        QVERIFY(dlg->frameGeometry().intersects(rowOnScreen(2)));
        dlg->textBox()->setEditText(u"Gamma"_s);
        QTest::mouseClick(findNext, Qt::LeftButton);
        QCOMPARE(selectedCodes(*frame), QStringList { u"1003"_s });
        QVERIFY(!dlg->frameGeometry().intersects(rowOnScreen(2)));
        QCOMPARE(dlg->frameGeometry().left(), left);
        QVERIFY(dlg->screen()->availableGeometry().contains(dlg->frameGeometry()));
        // Clear of the found row, it stays where the user put it.
        const QRect screen = dlg->screen()->availableGeometry();
        dlg->move(
            screen.right() - dlg->frameGeometry().width(), screen.bottom() - dlg->frameGeometry().height());
        const QPoint kept = dlg->pos();
        QVERIFY(!dlg->frameGeometry().intersects(rowOnScreen(0)));
        view.selectRows({});
        dlg->textBox()->setEditText(u"Alpha"_s);
        QTest::mouseClick(findNext, Qt::LeftButton);
        QCOMPARE(selectedCodes(*frame), QStringList { u"1001"_s });
        QCOMPARE(dlg->pos(), kept);

        // The rule itself: the nearer side that fits, else the side with more room.
        const QRect area(0, 0, 1000, 800);
        QCOMPARE(PlaceOffRow(QRect(10, 90, 300, 200), QRect(0, 100, 1000, 20), area), QPoint(10, 120));
        QCOMPARE(PlaceOffRow(QRect(10, 450, 300, 200), QRect(0, 600, 1000, 20), area), QPoint(10, 400));
        QCOMPARE(PlaceOffRow(QRect(10, 100, 300, 200), QRect(0, 400, 1000, 20), area), std::nullopt);
        QCOMPARE(PlaceOffRow(QRect(10, 0, 300, 700), QRect(0, 100, 1000, 20), area), QPoint(10, 120));
        QCOMPARE(PlaceOffRow(QRect(10, 50, 300, 700), QRect(0, 650, 1000, 20), area), QPoint(10, 0));
    }

    void screenshot()
    {
        settings.searchFuzzy = true;
        settings.searchStrs = { u"トヨタ"_s };
        auto frame = frameWith(MakeRows({ { u"1001"_s, u"10"_s, u"Alpha"_s } }));
        frame->finder().find();
        CFindDlg *dlg = frame->finder().dialog();
        dlg->textBox()->setEditText(u"とよた"_s);
        const QString out = qEnvironmentVariable("QUOTRA_SHOTS_DIR");
        if (out.isEmpty())
            QSKIP("QUOTRA_SHOTS_DIR names the folder for the picture");
        QVERIFY(dlg->grab().save(QDir(out).filePath(u"find-dialog.png"_s)));
    }
};

QTEST_MAIN(FindTest)
#include "FindTest.moc"
