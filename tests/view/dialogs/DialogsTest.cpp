// The holdings dialog and the column dialog on the offscreen platform, with the view's
// commands that run them; screenshots of both go to QUOTRA_SHOTS_DIR when it is set.
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/ColumnLayoutFile.h"
#include "view/table/CellText.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CColumnDlg.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/MyHeaderCtrl.h"
#include "view/widgets/UserDataDlg.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/Screenshot.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Runs `act` on the modal dialog of type T once it is shown.
template<typename T> void whenModal(std::function<void(T &)> act)
{
    QTimer::singleShot(0, [act] {
        for (int tries = 0; tries < 100; ++tries) {
            if (auto *dlg = qobject_cast<T *>(QApplication::activeModalWidget())) {
                act(*dlg);
                return;
            }
            QTest::qWait(10);
        }
        qWarning("no modal dialog appeared");
    });
}

QStringList listTexts(const QListWidget &list, bool checkedOnly)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i) {
        if (!checkedOnly || list.item(i)->checkState() == Qt::Checked)
            out << list.item(i)->text();
    }
    return out;
}

QStringList captions(std::initializer_list<int> fields)
{
    QStringList out;
    for (int f : fields)
        out << ColumnCaption(f);
    return out;
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::ButtonText, Qt::white);
    return p;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuotraDoc> doc;
    std::unique_ptr<CQuotraView> view;
    QStringList messages;
    int answer = tessera::IdYes;
    FakePrompts prompts; // the column dialog's
    QTemporaryDir dir;

    void makeList(std::initializer_list<RowSpec> rows)
    {
        doc = std::make_unique<CQuotraDoc>();
        view = std::make_unique<CQuotraView>(*doc);
        view->resize(800, 400);
        view->applyStartLayout(MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true));
        doc->replaceRows(MakeRows(rows));
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void setClose(const QString &code, const QString &close)
    {
        doc->record(code)->values.set(SlotPrevClose, close);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(tessera::LanguageModule::instance().load());
        tessera::SetMessageHandler([this](const QString &text, unsigned) {
            messages << text;
            return answer;
        });
        QVERIFY(dir.isValid());
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        messages.clear();
        answer = tessera::IdYes;
        prompts = FakePrompts();
        prompts.onMessage = [this](const QString &, unsigned) { return answer; };
    }
    void cleanup()
    {
        view.reset();
        doc.reset();
    }

    // ---- Holdings

    void holdingsDialogShowsTheRecord()
    {
        QuoteRecord r;
        r.values.set(SlotName, u"トヨタ自動車"_s);
        r.has_holdings = true;
        r.buyday = BuydayOfDate(QDate(2024, 3, 15));
        r.amount = 1234567;
        r.shares = 100;
        r.memo = u"長期保有"_s;
        UserDataDlg dlg(r);
        QCOMPARE(dlg.windowTitle(), u"トヨタ自動車"_s);
        QCOMPARE(dlg.dateEdit()->date(), QDate(2024, 3, 15));
        QVERIFY(dlg.dateEdit()->calendarPopup());
        QCOMPARE(dlg.amountEdit()->text(), u"1,234,567"_s);
        QCOMPARE(dlg.sharesEdit()->text(), u"100"_s);
        QCOMPARE(dlg.memoEdit()->toPlainText(), u"長期保有"_s);
        QVERIFY(!dlg.amountEdit()->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(dlg.sharesEdit()->inputMethodHints().testFlag(Qt::ImhPreferNumbers));
        QCOMPARE(dlg.memoCountLabel()->text(), u"4 / 256 文字"_s);
    }

    void okComputesTheProfit()
    {
        QuoteRecord r;
        r.values.set(SlotPrevClose, u"1,234"_s);
        UserDataDlg dlg(r);
        dlg.dateEdit()->setDate(QDate(2024, 1, 4));
        dlg.amountEdit()->setText(u"100,000"_s);
        dlg.sharesEdit()->setText(u"100"_s);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(r.has_holdings);
        QCOMPARE(r.loss, 23400.0);
        QCOMPARE(r.buyday, BuydayOfDate(QDate(2024, 1, 4)));
        QVERIFY2(CellText(r, FieldLoss).contains(u"+23,400"_s), qPrintable(CellText(r, FieldLoss)));
    }

    void zeroAndNoMemoMeansNoHoldings()
    {
        QuoteRecord r;
        r.values.set(SlotPrevClose, u"1,234"_s);
        r.has_holdings = true;
        r.amount = 5;
        r.shares = 1;
        r.memo = u"x"_s;
        UserDataDlg dlg(r);
        dlg.clearHoldings();
        QCOMPARE(dlg.amountEdit()->text(), u"0"_s);
        QVERIFY(dlg.memoEdit()->toPlainText().isEmpty());
        dlg.accept();
        QVERIFY(!r.has_holdings);
        QVERIFY(CellText(r, FieldLoss).isEmpty());
        QVERIFY(CellText(r, FieldAmount).isEmpty());
    }

    void aMemoKeepsHoldings()
    {
        QuoteRecord r;
        r.values.set(SlotPrevClose, u"1,234"_s);
        UserDataDlg dlg(r);
        dlg.amountEdit()->setText(u"0"_s);
        dlg.sharesEdit()->setText(u"0"_s);
        dlg.memoEdit()->setPlainText(u"買い増し検討"_s);
        dlg.accept();
        QVERIFY(r.has_holdings);
        QCOMPARE(r.loss, 0.0);
        QCOMPARE(r.memo, u"買い増し検討"_s);
    }

    void aWrongNumberKeepsTheDialogOpen()
    {
        QuoteRecord r;
        r.values.set(SlotPrevClose, u"1,234"_s);
        UserDataDlg dlg(r);
        dlg.show();
        dlg.amountEdit()->setText(u"12万"_s);
        dlg.sharesEdit()->setText(u"100"_s);
        dlg.accept();
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.hintLabel()->isVisible());
        QCOMPARE(dlg.hintLabel()->text(), tessera::ResourceString(Ids::MsgNotANumber));
        QVERIFY(!r.has_holdings);
        QCOMPARE(r.amount, 0.0);
        QTest::keyClicks(dlg.amountEdit(), u"120000"_s);
        QVERIFY(!dlg.hintLabel()->isVisible());
        dlg.accept();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(r.amount, 120000.0);
    }

    void tabLeavesTheDateAndArrowsWalkItsParts()
    {
        QuoteRecord r;
        r.buyday = BuydayOfDate(QDate(2024, 3, 15));
        UserDataDlg dlg(r);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QDateEdit *date = dlg.dateEdit();
        date->setFocus();
        date->setCurrentSectionIndex(0);
        QCOMPARE(date->currentSection(), QDateTimeEdit::YearSection);
        // Left and Right move between year, month and day, stopping at either end.
        QTest::keyClick(date, Qt::Key_Right);
        QCOMPARE(date->currentSection(), QDateTimeEdit::MonthSection);
        QTest::keyClick(date, Qt::Key_Right);
        QTest::keyClick(date, Qt::Key_Right);
        QCOMPARE(date->currentSection(), QDateTimeEdit::DaySection);
        QTest::keyClick(date, Qt::Key_Up);
        QCOMPARE(date->date(), QDate(2024, 3, 16));
        QTest::keyClick(date, Qt::Key_Left);
        QCOMPARE(date->currentSection(), QDateTimeEdit::MonthSection);
        QTest::keyClick(date, Qt::Key_Up);
        QCOMPARE(date->date(), QDate(2024, 4, 16));
        // Tab from the month leaves the field for the amount; Shift+Tab comes back.
        QTest::keyClick(date, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.amountEdit());
        QTest::keyClick(dlg.amountEdit(), Qt::Key_Backtab);
        QVERIFY(date->hasFocus());
        date->setCurrentSectionIndex(0);
        QTest::keyClick(date, Qt::Key_Backtab);
        QVERIFY(!date->hasFocus());
        QCOMPARE(date->date(), QDate(2024, 4, 16));
    }

    void theMemoStopsAt256Characters()
    {
        QuoteRecord r;
        UserDataDlg dlg(r);
        dlg.memoEdit()->setPlainText(QString(300, u'あ'));
        QCOMPARE(dlg.memoEdit()->toPlainText().size(), 256);
        QCOMPARE(dlg.memoCountLabel()->text(), u"256 / 256 文字"_s);
    }

    void memoColoursFollowThePalette()
    {
        QuoteRecord r;
        UserDataDlg dlg(r);
        dlg.setPalette(darkPalette());
        QCOMPARE(dlg.memoEdit()->palette().color(QPalette::Base), QColor(0x38, 0x38, 0x38));
        QCOMPARE(dlg.memoEdit()->palette().color(QPalette::Text), QColor(Qt::white));
        dlg.setPalette(QPalette(Qt::white));
        QCOMPARE(dlg.memoEdit()->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(dlg.memoEdit()->palette().color(QPalette::Text), QColor(Qt::black));
    }

    void threeRowsTakeTheHoldingsWithTheirOwnProfit()
    {
        makeList({ { u"1301"_s, u"1"_s }, { u"6758"_s, u"2"_s }, { u"7203"_s, u"3"_s } });
        setClose(u"1301"_s, u"1,234"_s);
        setClose(u"6758"_s, u"900"_s);
        setClose(u"7203"_s, u"---"_s);
        view->selectAll();
        whenModal<UserDataDlg>([](UserDataDlg &dlg) {
            dlg.amountEdit()->setText(u"100000"_s);
            dlg.sharesEdit()->setText(u"100"_s);
            dlg.memoEdit()->setPlainText(u"まとめて"_s);
            dlg.accept();
        });
        QVERIFY(RunHoldingsCommand(*view, nullptr));
        QCOMPARE(doc->record(u"1301"_s)->loss, 23400.0);
        QCOMPARE(doc->record(u"6758"_s)->loss, -10000.0);
        QCOMPARE(doc->record(u"7203"_s)->loss, 0.0);
        for (const QString &code : { u"1301"_s, u"6758"_s, u"7203"_s }) {
            QVERIFY(doc->record(code)->has_holdings);
            QCOMPARE(doc->record(code)->memo, u"まとめて"_s);
        }
        QVERIFY(doc->IsModified());
    }

    void cancelChangesNothing()
    {
        makeList({ { u"1301"_s, u"1"_s }, { u"6758"_s, u"2"_s } });
        setClose(u"1301"_s, u"1,234"_s);
        view->selectAll();
        whenModal<UserDataDlg>([](UserDataDlg &dlg) {
            dlg.amountEdit()->setText(u"100000"_s);
            dlg.reject();
        });
        QVERIFY(!RunHoldingsCommand(*view, nullptr));
        QVERIFY(!doc->record(u"1301"_s)->has_holdings);
        QCOMPARE(doc->record(u"1301"_s)->amount, 0.0);
        QVERIFY(!doc->IsModified());
    }

    void sumOfThreeRows()
    {
        makeList({ { u"1301"_s, u"1"_s }, { u"6758"_s, u"2"_s }, { u"7203"_s, u"3"_s } });
        QuoteRecord *a = doc->record(u"1301"_s);
        a->has_holdings = true;
        a->loss = 1000;
        QuoteRecord *b = doc->record(u"6758"_s);
        b->has_holdings = true;
        b->loss = -250;
        doc->record(u"7203"_s)->loss = 777; // no holdings: not counted in the sum
        view->selectAll();
        const ProfitSum sum = RunProfitSumCommand(*view);
        QCOMPARE(sum.rows, qint64(3));
        QCOMPARE(sum.sum, 750.0);
        QCOMPARE(messages,
            QStringList({ tessera::FormatResourceString(Ids::MsgProfitSum, { u"3"_s, u"+750"_s }) }));
    }

    // ---- Columns

    void theDialogListsTheDisplayOrderAfterAHeaderDrag()
    {
        makeList({ { u"7203"_s, u"2,500"_s } });
        MyHeaderCtrl &header = view->headerCtrl();
        header.moveSection(header.visualIndex(3), 1); // price to the front
        header.resizeSection(3, 133);
        ColumnLayout layout = view->saveLayout();
        CColumnDlg dlg(layout, nullptr, prompts);
        QCOMPARE(dlg.list()->count(), 39);
        QCOMPARE(listTexts(*dlg.list(), true), captions({ 4, 1, 2 }));
        QCOMPARE(dlg.list()->item(3)->text(), ColumnCaption(3));
        const ColumnChoice items = dlg.choice();
        QCOMPARE(items[0].width, 133);
        QCOMPARE(items[0].align, 1);
        QCOMPARE(items[2].align, 0);
        QCOMPARE(items[2].width, 120);
        // OK without changes: the same columns, list columns now in display order.
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(layout.indexList, u"0,4,1,2,"_s);
        QCOMPARE(layout.widthList.section(u',', 1, 1), u"133"_s);
        QVERIFY(view->applyColumnLayout(layout));
        QCOMPARE(view->listModel().table().header().visibleFields(), std::vector<int>({ 4, 1, 2 }));
        // The sort stayed on the code field.
        const HeaderModel &h = view->listModel().table().header();
        QCOMPARE(h.fieldOf(h.sortColumn()), 1);
    }

    void uncheckingTheSortedFieldSortsByTheLastColumn()
    {
        ColumnLayout layout = MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 2, false);
        CColumnDlg dlg(layout, nullptr, prompts);
        dlg.list()->item(1)->setCheckState(Qt::Unchecked); // the name, sorted
        dlg.accept();
        QCOMPARE(layout.indexList, u"0,1,4,"_s);
        QCOMPARE(layout.packedSort, PackSort(2, false));
    }

    void uncheckingEverythingIsRefused()
    {
        ColumnLayout layout = MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 } }, 1, true);
        const ColumnLayout before = layout;
        CColumnDlg dlg(layout, nullptr, prompts);
        dlg.show();
        for (int i = 0; i < dlg.list()->count(); ++i)
            dlg.list()->item(i)->setCheckState(Qt::Unchecked);
        const QStringList texts = listTexts(*dlg.list(), false);
        dlg.accept();
        QCOMPARE(prompts.messages, QStringList({ tessera::ResourceString(Ids::MsgNoColumnShown) }));
        QVERIFY(dlg.isVisible());
        QCOMPARE(layout, before);
        QCOMPARE(listTexts(*dlg.list(), false), texts);
    }

    void shiftOkSavesAFileThatLoadsBackTheSameLayout()
    {
        ColumnLayout layout = MakeLayout({ { 2, 0, 140 }, { 1, 1, 50 }, { 9, 2, 77 } }, 3, true);
        const ColumnLayout before = layout;
        const QString path = dir.filePath(u"saved.colm"_s);
        CColumnDlg dlg(layout, nullptr, prompts);
        prompts.shift = true;
        prompts.onSaveFile = [path](const FileQuestion &) { return path; };
        dlg.show();
        dlg.list()->item(0)->setCheckState(Qt::Unchecked); // name off
        dlg.accept();
        QVERIFY(dlg.isVisible());
        QCOMPARE(layout, before);
        QVERIFY(prompts.messages.isEmpty());
        QCOMPARE(prompts.lastFileQuestion.suffix, u"colm"_s);
        const tessera::Result<ColumnLayout> saved = LoadColumnLayoutFile(path);
        QVERIFY(saved.ok());
        QCOMPARE(saved->indexList, u"0,1,9,"_s);
        QCOMPARE(saved->packedSort, PackSort(2, true));

        // The file dropped on a fresh dialog gives the same list and, on OK, the same layout.
        ColumnLayout other = MakeLayout({ { 4, 1, 80 } }, 1, true);
        CColumnDlg second(other, nullptr, prompts);
        prompts.shift = false;
        second.show();
        QMimeData mime;
        mime.setUrls({ QUrl::fromLocalFile(path) });
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&second, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&second, &drop);
        QCOMPARE(prompts.messages, QStringList({ tessera::ResourceString(Ids::MsgLoadColumnLayout) }));
        QCOMPARE(other, *saved);
        QCOMPARE(listTexts(*second.list(), true), captions({ 1, 9 }));
        second.accept();
        QCOMPARE(other, *saved);
    }

    void answeringNoLoadsNothing()
    {
        const QString path = dir.filePath(u"no.colm"_s);
        QVERIFY(SaveColumnLayoutFile(path, MakeLayout({ { 9, 1, 80 } }, 1, true)).ok());
        ColumnLayout layout = MakeLayout({ { 1, 1, 50 } }, 1, true);
        const ColumnLayout before = layout;
        CColumnDlg dlg(layout, nullptr, prompts);
        answer = tessera::IdNo;
        QVERIFY(!dlg.loadLayoutFile(path));
        QCOMPARE(layout, before);
        QCOMPARE(listTexts(*dlg.list(), true), captions({ 1 }));
    }

    void badFilesAreRefusedWithTheirMessages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("message");
        const ColumnLayout good = MakeLayout({ { 1, 1, 50 } }, 1, true);
        QByteArray unequal = WriteColumnLayoutFile(good);
        ColumnLayout shorter = good;
        shorter.widthList = u"0,"_s;
        QTest::newRow("not a layout file") << QByteArray("7203\n6758\n") << int(Ids::MsgNotColumnLayout);
        QTest::newRow("unequal lists")
            << WriteColumnLayoutFile(shorter) << int(Ids::MsgColumnLayoutMalformed);
        QTest::newRow("truncated") << unequal.left(unequal.size() - 3) << int(Ids::MsgColumnLayoutUnreadable);
    }
    void badFilesAreRefusedWithTheirMessages()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, message);
        const QString path = dir.filePath(u"bad.colm"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        ColumnLayout layout = MakeLayout({ { 2, 0, 120 } }, 1, true);
        const ColumnLayout before = layout;
        CColumnDlg dlg(layout, nullptr, prompts);
        QVERIFY(!dlg.loadLayoutFile(path));
        QCOMPARE(prompts.messages.size(), 2);
        QCOMPARE(prompts.messages.back(), tessera::ResourceString(message));
        QCOMPARE(layout, before);
        QCOMPARE(listTexts(*dlg.list(), true), captions({ 2 }));
    }

    void multiCheckAndKeyboard()
    {
        ColumnLayout layout = MakeLayout({ { 1, 1, 50 }, { 2, 0, 120 } }, 1, true);
        CColumnDlg dlg(layout, nullptr, prompts);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QListWidget *list = dlg.list();
        // Three selected items: checking one checks them all.
        for (int i = 2; i < 5; ++i)
            list->item(i)->setSelected(true);
        list->item(3)->setCheckState(Qt::Checked);
        QCOMPARE(listTexts(*list, true).size(), 5);
        // Arrows and Space; Alt+Up moves the selection.
        list->clearSelection();
        list->setFocus();
        list->setCurrentRow(5);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 6);
        const QString sixth = list->item(6)->text();
        QTest::keyClick(list, Qt::Key_Space);
        QCOMPARE(list->item(6)->checkState(), Qt::Checked);
        QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(list->item(5)->text(), sixth);
        QVERIFY(list->item(5)->isSelected());
        QCOMPARE(list->item(5)->checkState(), Qt::Checked);
        QTest::keyClick(list, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(list->item(6)->text(), sixth);
    }

    void theColumnCommandAppliesTheResult()
    {
        makeList({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } });
        whenModal<CColumnDlg>([](CColumnDlg &dlg) {
            dlg.list()->item(0)->setCheckState(Qt::Unchecked); // code off
            dlg.accept();
        });
        QVERIFY(RunColumnDialog(*view, nullptr));
        QCOMPARE(view->listModel().table().header().visibleFields(), std::vector<int>({ 2, 4 }));
        QCOMPARE(view->listModel().columnCount(), 3);
        QVERIFY(view->headerCtrl().stretchLastSection());
    }

    void screenshots()
    {
        if (qEnvironmentVariableIsEmpty("QUOTRA_SHOTS_DIR"))
            QSKIP("QUOTRA_SHOTS_DIR not set");
        for (const bool dark : { false, true }) {
            const QString suffix = dark ? u"-dark.png"_s : u"-light.png"_s;
            QuoteRecord r;
            r.values.set(SlotName, u"トヨタ自動車"_s);
            r.has_holdings = true;
            r.buyday = BuydayOfDate(QDate(2024, 3, 15));
            r.amount = 100000;
            r.shares = 100;
            r.memo = u"NISA 口座\n長期保有"_s;
            UserDataDlg holdings(r);
            if (dark)
                holdings.setPalette(darkPalette());
            holdings.amountEdit()->setText(u"12万"_s);
            holdings.accept();
            QVERIFY(SaveShotIfAsked(holdings, u"holdings"_s + suffix));
            ColumnLayout layout
                = MakeLayout({ { 1, 1, 50 }, { 2, 0, 200 }, { 4, 1, 80 }, { 6, 1, 80 } }, 1, true);
            CColumnDlg columns(layout);
            if (dark)
                columns.setPalette(darkPalette());
            columns.list()->item(1)->setSelected(true);
            QVERIFY(SaveShotIfAsked(columns, u"columns"_s + suffix));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
