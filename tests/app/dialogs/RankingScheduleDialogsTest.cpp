#include "app/core/AppSettings.h"
#include "app/core/CronTable.h"
#include "app/ui/CRankingDlg.h"
#include "app/ui/CScheduleDlg.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/widgets/CQuotraView.h"

#include "tests/support/FakeCrontab.h"
#include "tests/support/FakePrompts.h"
#include "tests/support/SampleSite.h"
#include "tests/support/Screenshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

class RankingScheduleDialogsTest : public QObject {
    Q_OBJECT

private:
    SampleSite site;
    std::unique_ptr<CQuotraDoc> doc;
    std::unique_ptr<CQuotraView> view;
    AppSettings settings;
    QStringList messages;
    QTemporaryDir dir;

    void makeView()
    {
        doc = std::make_unique<CQuotraDoc>();
        view = std::make_unique<CQuotraView>(*doc);
        view->resize(800, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    QString makeFile(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(tessera::LanguageModule::instance().load());
        tessera::SetMessageHandler([this](const QString &text, unsigned) {
            messages << text;
            return tessera::IdOk;
        });
        QVERIFY(dir.isValid());
        QVERIFY(site.start({ u"--pad-bytes"_s, u"0"_s }));
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        messages.clear();
        settings = AppSettings();
        settings.currentLanguage = 1041;
        makeView();
    }
    void cleanup()
    {
        view.reset();
        doc.reset();
        qputenv("QUOTRA_SITE_ROOT", site.root().toUtf8());
    }

    // ---- Ranking

    void rankingListsSixTitlesFromTheSetting()
    {
        settings.rankingNo = 3;
        CRankingDlg dlg(*view, settings);
        QCOMPARE(dlg.rankingBox()->count(), 6);
        QCOMPARE(dlg.rankingBox()->itemText(4), u"出来高"_s);
        QCOMPARE(dlg.rankingBox()->currentIndex(), 3);
        QCOMPARE(dlg.webButton()->toolTip(), u"WebPageを開く"_s);
        QCOMPARE(dlg.webButton()->cursor().shape(), Qt::PointingHandCursor);
    }

    void aStoredValueOutsideTheTableSelectsNothing()
    {
        settings.rankingNo = 9;
        CRankingDlg dlg(*view, settings);
        QCOMPARE(dlg.rankingBox()->currentIndex(), -1);
        QCOMPARE(dlg.chosenIndex(), 0);
    }

    void okAppliesTheRankingAndStoresIt()
    {
        settings.rankingNo = 0;
        CRankingDlg dlg(*view, settings);
        dlg.rankingBox()->setCurrentIndex(4);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(settings.rankingNo, 4);
        QVERIFY(dlg.readError().isEmpty());
        QVERIFY(doc->rows().size() >= 5);
        QVERIFY(doc->title().startsWith(u"出来高 "_s));
        QVERIFY(doc->title().endsWith(u" *"_s));
        QVERIFY(doc->IsModified());
        const HeaderModel &header = view->listModel().table().header();
        QCOMPARE(header.sortField(), int(FieldVolume));
        QVERIFY(!header.ascending());
        QVERIFY(messages.isEmpty());
        QDeadlineTimer deadline(20000);
        while (doc->isUpdating() && !deadline.hasExpired())
            QTest::qWait(20);
        QVERIFY(!doc->isUpdating());
    }

    void anUnreadablePageChangesNothing()
    {
        qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:9/");
        settings.rankingNo = 1;
        CRankingDlg dlg(*view, settings);
        const QString title = doc->title();
        dlg.rankingBox()->setCurrentIndex(2);
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.readError().isEmpty());
        QCOMPARE(settings.rankingNo, 2);
        QVERIFY(doc->rows().empty());
        QCOMPARE(doc->title(), title);
        QVERIFY(!doc->IsModified());
        QVERIFY(messages.isEmpty());
    }

    // ---- Schedule

    void theDialogStartsFromTheListAndTheSettings()
    {
        FakeCrontab fake;
        const TaskStore store(fake.program());
        settings.taskWeek = 34 | kTaskWeekAuto;
        settings.autoFolder = dir.path();
        const QString list = makeFile(u"weekly.kabu"_s);
        FakePrompts prompts;
        CScheduleDlg dlg(list, settings, store, nullptr, prompts);
        QCOMPARE(dlg.nameBox()->currentText(), u"weekly"_s);
        QCOMPARE(dlg.listEdit()->text(), list);
        QVERIFY(dlg.dayBox(1)->isChecked());
        QVERIFY(dlg.dayBox(5)->isChecked());
        QVERIFY(!dlg.dayBox(0)->isChecked());
        QCOMPARE(dlg.dayBox(1)->text(), u"月"_s);
        QCOMPARE(dlg.dayBox(0)->objectName(), u"Day1111"_s);
        QCOMPARE(dlg.dayBox(1)->objectName(), u"Day1105"_s);
        QCOMPARE(dlg.dayBox(6)->objectName(), u"Day1110"_s);
        QVERIFY(dlg.autoBox()->isChecked());
        QCOMPARE(dlg.folderEdit()->text(), dir.path());
        QVERIFY(dlg.folderEdit()->isEnabled());
        dlg.autoBox()->setChecked(false);
        QVERIFY(!dlg.folderEdit()->isEnabled());
        QVERIFY(!dlg.folderButton()->isEnabled());
        dlg.nameBox()->setEditText(QString());
        QVERIFY(!dlg.okButton()->isEnabled());
        dlg.nameBox()->setEditText(u"x"_s);
        QVERIFY(dlg.okButton()->isEnabled());
        QCOMPARE(dlg.crontabButton()->toolTip(), tessera::ResourceString(Ids::TipOpenTaskScheduler));
        // Another list is chosen from the folder of this one; a cancelled choice keeps it.
        const QString other = dir.filePath(u"other.kabu"_s);
        prompts.onOpenFile
            = [&](const FileQuestion &q) { return q.folder == dir.path() ? other : QString(); };
        dlg.listButton()->click();
        QCOMPARE(dlg.listEdit()->text(), other);
        prompts.onOpenFile = {};
        dlg.listButton()->click();
        QCOMPARE(dlg.listEdit()->text(), other);
        // The dialog says through the prompts what keeps it from registering.
        dlg.nameBox()->setEditText(QString());
        dlg.registerOrDelete(false);
        QCOMPARE(prompts.messages, QStringList({ tessera::ResourceString(Ids::MsgTaskNameMissing) }));
        QVERIFY(messages.isEmpty());
    }

    void anExistingTaskOfTheNameIsLoaded()
    {
        FakeCrontab fake;
        const TaskStore store(fake.program());
        const QString list = makeFile(u"a.kabu"_s);
        QVERIFY(store.registerTask(
            MakeScheduledTask(u"a"_s, 64, 6, 45, true, u"/out"_s, u"/other/a.kabu"_s, u"/usr/bin/quotra"_s)));
        QVERIFY(store.registerTask(
            MakeScheduledTask(u"b"_s, 1, 7, 0, false, {}, u"/b/b.kabu"_s, u"/usr/bin/quotra"_s)));
        CScheduleDlg dlg(list, settings, store);
        QCOMPARE(dlg.nameBox()->count(), 2);
        QCOMPARE(dlg.nameBox()->currentIndex(), 0);
        QCOMPARE(dlg.listEdit()->text(), u"/other/a.kabu"_s);
        QCOMPARE(dlg.folderEdit()->text(), u"/out"_s);
        QCOMPARE(dlg.timeEdit()->time(), QTime(6, 45));
        QCOMPARE(dlg.dayBits(), quint16(64));
        // Typing a new name gives the list file back to the open list.
        dlg.nameBox()->setEditText(u"new"_s);
        QCOMPARE(dlg.listEdit()->text(), list);
    }

    void okRegistersAndStoresTheSettings()
    {
        FakeCrontab fake;
        fake.setTable("MAILTO=\"\"\n");
        const TaskStore store(fake.program());
        const QString list = makeFile(u"a.kabu"_s);
        CScheduleDlg dlg(list, settings, store);
        dlg.setProgramPath(u"/usr/bin/quotra"_s);
        for (int d = 0; d < 7; ++d)
            dlg.dayBox(d)->setChecked(d == 1 || d == 5);
        dlg.timeEdit()->setTime(QTime(18, 30));
        dlg.autoBox()->setChecked(true);
        dlg.folderEdit()->setText(dir.path() + u"/"_s);
        dlg.registerOrDelete(false);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(settings.taskWeek, 34u | kTaskWeekAuto);
        QCOMPARE(settings.autoFolder, dir.path());
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(u"月,金"_s));
        QVERIFY(messages[0].contains(u"18:30"_s));
        const QByteArray table = fake.table();
        QVERIFY(
            table.startsWith("MAILTO=\"\"\n# Quotra\\a\n30 18 * * 1,5 '/usr/bin/quotra' '/Auto' '/Folder"));
    }

    void inputRulesKeepTheDialogOpen()
    {
        FakeCrontab fake;
        const TaskStore store(fake.program());
        const QString list = makeFile(u"a.kabu"_s);
        CScheduleDlg dlg(list, settings, store);
        dlg.show();
        for (int d = 0; d < 7; ++d)
            dlg.dayBox(d)->setChecked(false);
        dlg.registerOrDelete(false);
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgNoDaySelected) });
        dlg.dayBox(2)->setChecked(true);
        dlg.folderEdit()->setText(dir.filePath(u"missing"_s));
        messages.clear();
        dlg.registerOrDelete(false);
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgOutputFolderMissing) });
        dlg.folderEdit()->clear();
        dlg.listEdit()->setText(dir.filePath(u"missing.kabu"_s));
        messages.clear();
        dlg.registerOrDelete(false);
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgListFileMissing) });
        QVERIFY(!fake.exists());
        QVERIFY(dlg.isVisible());
    }

    void shiftOkDeletesTheTask()
    {
        FakeCrontab fake;
        const TaskStore store(fake.program());
        fake.setTable("0 1 * * * true\n");
        QVERIFY(store.registerTask(
            MakeScheduledTask(u"a"_s, 2, 1, 0, false, {}, u"/x/a.kabu"_s, u"/usr/bin/quotra"_s)));
        const QString list = makeFile(u"a.kabu"_s);
        CScheduleDlg dlg(list, settings, store);
        dlg.registerOrDelete(true);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(
            messages, QStringList { tessera::FormatResourceString(Ids::MsgTaskDeleted, { u"Quotra\\a"_s }) });
        QCOMPARE(fake.table(), QByteArray("0 1 * * * true\n"));
        // Deleting it again fails and the dialog stays.
        messages.clear();
        CScheduleDlg again(list, settings, store);
        again.show();
        again.registerOrDelete(true);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith(tessera::ResourceString(Ids::MsgTaskDeleteFailed)));
        QVERIFY(again.isVisible());
    }

    void aFailingCrontabShowsWhatItSaid()
    {
        FakeCrontab fake;
        const TaskStore store(fake.program());
        const QString list = makeFile(u"a.kabu"_s);
        CScheduleDlg dlg(list, settings, store);
        dlg.dayBox(3)->setChecked(true);
        fake.setFailure("crontab: not allowed\n");
        dlg.registerOrDelete(false);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(
            messages[0], tessera::ResourceString(Ids::MsgTaskRegisterFailed) + u"\n\ncrontab: not allowed"_s);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        fake.setFailure({});
        QVERIFY(!fake.exists());
    }

    void theCrontabButtonShowsTheTableWithTheBlocksMarked()
    {
        FakeCrontab fake;
        fake.setTable("MAILTO=\"\"\n");
        const TaskStore store(fake.program());
        QVERIFY(store.registerTask(
            MakeScheduledTask(u"a"_s, 2, 1, 0, false, {}, u"/x/a.kabu"_s, u"/usr/bin/quotra"_s)));
        CScheduleDlg dlg(makeFile(u"a.kabu"_s), settings, store);
        QString shown;
        qsizetype marked = -1;
        bool readOnly = false;
        QTimer::singleShot(0, [&] {
            for (int tries = 0; tries < 100; ++tries) {
                if (auto *view = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                    view && view->objectName() == u"CrontabView"_s) {
                    auto *text = view->findChild<QPlainTextEdit *>();
                    shown = text->toPlainText();
                    marked = text->extraSelections().size();
                    readOnly = text->isReadOnly();
                    view->reject();
                    return;
                }
                QTest::qWait(10);
            }
        });
        dlg.crontabButton()->click();
        QCOMPARE(shown, QString::fromUtf8(fake.table()));
        QCOMPARE(marked, qsizetype(2)); // the marker line and its job line
        QVERIFY(readOnly);
    }

    void theCommandWithoutAFileSaysSaveFirst()
    {
        RunScheduleCommand(QString(), settings, nullptr);
        QCOMPARE(messages, QStringList { tessera::ResourceString(Ids::MsgSaveListBeforeTask) });
    }

    void screenshots()
    {
        if (qEnvironmentVariableIsEmpty("QUOTRA_SHOTS_DIR"))
            QSKIP("QUOTRA_SHOTS_DIR not set");
        settings.rankingNo = 4;
        CRankingDlg ranking(*view, settings);
        QVERIFY(SaveShotIfAsked(ranking, u"ranking.png"_s));
        FakeCrontab fake;
        const TaskStore store(fake.program());
        QVERIFY(store.registerTask(MakeScheduledTask(
            u"a"_s, 34, 18, 30, true, u"/home/u/out"_s, u"/home/u/lists/a.kabu"_s, u"/usr/bin/quotra"_s)));
        CScheduleDlg schedule(u"/home/u/lists/a.kabu"_s, settings, store);
        QVERIFY(SaveShotIfAsked(schedule, u"schedule.png"_s));
    }
};

QTEST_MAIN(RankingScheduleDialogsTest)
#include "RankingScheduleDialogsTest.moc"
