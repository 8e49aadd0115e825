// The alert dialog of one row and the list of every alert, offscreen.
#include "app/ui/CAlertDlg.h"
#include "app/ui/CAlertListDlg.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "history/AlertBook.h"
#include "history/HistoryStore.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/Screenshot.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

class AlertDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(tessera::LanguageModule::instance().load()); }

    void theDialogEditsConditionsAndKeepsTheirState()
    {
        Alert alert { u"7203"_s, u"look"_s, { { AlertKind::Above, 2500 }, { AlertKind::FallBy, 3, false } } };
        alert.conditions[0].armed = false;
        alert.conditions[0].firedTime = 1'800'000'000;
        alert.conditions[0].firedValue = 2512;
        CAlertDlg dlg(u"7203"_s, u"トヨタ"_s, alert, 2520.0, -1.25);
        QVERIFY(dlg.windowTitle().endsWith(u"7203 トヨタ"_s));
        QVERIFY(dlg.conditionBox(AlertKind::Above)->isChecked());
        QVERIFY(!dlg.conditionBox(AlertKind::FallBy)->isChecked());
        QVERIFY(!dlg.thresholdBox(AlertKind::FallBy)->isEnabled());
        QCOMPARE(dlg.thresholdBox(AlertKind::Below)->value(), 2520.0); // a new condition starts at the price
        QCOMPARE(dlg.alert(), alert); // shown and read back unchanged
        QVERIFY(SaveShotIfAsked(dlg, u"alert-dialog.png"_s));

        dlg.conditionBox(AlertKind::RiseBy)->setChecked(true);
        QVERIFY(dlg.thresholdBox(AlertKind::RiseBy)->isEnabled());
        dlg.thresholdBox(AlertKind::RiseBy)->setValue(4);
        dlg.conditionBox(AlertKind::Above)->setChecked(false);
        dlg.noteBox()->setText(u"  sell  "_s);
        const Alert edited = dlg.alert();
        QCOMPARE(edited.note, u"sell"_s);
        QCOMPARE(edited.conditions.size(), size_t(3)); // Above kept switched off, FallBy, RiseBy
        QVERIFY(!edited.condition(AlertKind::Above)->enabled);
        QCOMPARE(edited.condition(AlertKind::Above)->firedTime, alert.conditions[0].firedTime);
        QCOMPARE(edited.condition(AlertKind::RiseBy)->threshold, 4.0);
        QVERIFY(edited.condition(AlertKind::RiseBy)->armed);
        QVERIFY(edited.condition(AlertKind::Below) == nullptr);
    }

    void theListDeletesAndSwitches()
    {
        QTemporaryDir dir;
        auto store = HistoryStore::Open(dir.filePath(u"h.sqlite"_s), HistoryStore::OpenMode::Create);
        QVERIFY(store.ok());
        AlertBook book(**store);
        QVERIFY(
            book.put({ u"7203"_s, u"n"_s, { { AlertKind::Above, 2500 }, { AlertKind::RiseBy, 5 } } }).ok());
        QVERIFY(book.put({ u"6758"_s, {}, { { AlertKind::Below, 100 } } }).ok());
        CAlertListDlg dlg(
            book, [](const QString &code) { return code == u"7203"_s ? u"トヨタ"_s : QString(); });
        QSignalSpy changed(&dlg, &CAlertListDlg::alertsChanged);
        QTreeWidget *list = dlg.list();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(0), u"7203"_s);
        QCOMPARE(list->topLevelItem(1)->text(1), u"トヨタ"_s);
        QCOMPARE(list->topLevelItem(1)->text(2),
            AlertConditionText(AlertKind::Above, 2500) + u"、"_s + AlertConditionText(AlertKind::RiseBy, 5));
        QVERIFY(SaveShotIfAsked(dlg, u"alert-list.png"_s));

        list->clearSelection();
        list->topLevelItem(1)->setSelected(true);
        QVERIFY(dlg.switchSelected());
        QVERIFY(!(*book.find(u"7203"_s))->conditions[0].enabled);
        QVERIFY(list->topLevelItem(1)->text(2).startsWith(u'('));
        QVERIFY(dlg.switchSelected()); // all off: on again
        QVERIFY((*book.find(u"7203"_s))->conditions[1].enabled);

        list->clearSelection();
        list->topLevelItem(0)->setSelected(true);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!book.find(u"6758"_s)->has_value());
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(changed.size(), 3);

        // A book that cannot be read is told through the list's prompts.
        QCOMPARE(
            sqlite3_exec((*store)->connection(), "DROP TABLE alert_conditions", nullptr, nullptr, nullptr),
            SQLITE_OK);
        const auto refused = book.all();
        QVERIFY(!refused.ok());
        FakePrompts told;
        CAlertListDlg broken(book, {}, nullptr, told);
        QCOMPARE(told.messages,
            QStringList(
                { tessera::FormatResourceString(Ids::MsgAlertsNotKept, { refused.error().message }) }));
        QCOMPARE(broken.list()->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(AlertDialogsTest)
#include "AlertDialogsTest.moc"
