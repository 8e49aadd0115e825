#include "app/core/AppSettings.h"
#include "app/core/CCLineInfo.h"
#include "app/core/ListTitle.h"
#include "app/ui/DocumentCommands.h"
#include "app/ui/RecentFiles.h"
#include "app/ui/StatusBarPanes.h"
#include "app/ui/UpdateScheduler.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/ListFile.h"
#include "view/widgets/CQuotraView.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/WindowTestSetup.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Saves list files in a layout of its own, as the window's view would.
struct ListHost final : SaveHost {
    ColumnLayout layoutToStore() const override { return MakeLayout({ { 4, 1, 80 } }, 1, true); }
    const TableSource *tableToExport() const override { return nullptr; }
};

QStringList texts(const QList<QAction *> &actions)
{
    QStringList list;
    for (const QAction *a : actions)
        list << (a->isSeparator() ? u"-"_s : a->text());
    return list;
}

} // namespace

class FramePiecesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    AppSettings settings;
    FakePrompts prompts;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(PrepareWindowTests());
        tessera::SetMessageHandler(
            [](const QString &, unsigned style) { return tessera::DefaultMessageResult(style); });
    }
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        ResetWindowSettings(settings);
        prompts = FakePrompts();
    }

    // Newest first, once each, at most eight, between the menu's two separators; a stored
    // list with gaps comes back without them.
    void recentFilesOrderLimitAndStore()
    {
        QMenu menu;
        menu.addAction(u"Open"_s);
        menu.addSeparator();
        menu.addSeparator();
        menu.addAction(u"Exit"_s);
        RecentFiles recent(menu);
        for (int k = 0; k < 10; ++k)
            recent.add(u"/lists/%1.kabu"_s.arg(k));
        recent.add(u"/lists/5.kabu"_s);
        QCOMPARE(recent.files(),
            QStringList({ u"/lists/5.kabu"_s, u"/lists/9.kabu"_s, u"/lists/8.kabu"_s, u"/lists/7.kabu"_s,
                u"/lists/6.kabu"_s, u"/lists/4.kabu"_s, u"/lists/3.kabu"_s, u"/lists/2.kabu"_s }));
        QStringList shown = texts(menu.actions());
        QCOMPARE(shown.size(), 12);
        QCOMPARE(shown.mid(0, 3), QStringList({ u"Open"_s, u"-"_s, u"&1 5.kabu"_s }));
        QCOMPARE(shown.mid(9), QStringList({ u"&8 2.kabu"_s, u"-"_s, u"Exit"_s }));
        QSignalSpy asked(&recent, &RecentFiles::openRequested);
        recent.actions().at(1)->trigger();
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.at(0).at(0).toString(), u"/lists/9.kabu"_s);

        recent.remove(u"/lists/9.kabu"_s);
        recent.store();
        QMenu other;
        other.addSeparator();
        other.addAction(u"Exit"_s);
        RecentFiles again(other);
        again.load();
        QCOMPARE(again.files(), recent.files().mid(0));
        QCOMPARE(again.actions().size(), 7);

        QSettings store;
        store.beginGroup(u"4.00/Recent File List"_s);
        store.setValue(u"File2"_s, QString());
        store.setValue(u"File8"_s, u"/lists/last.kabu"_s);
        store.endGroup();
        again.load();
        QCOMPARE(again.files().size(), 7);
        QCOMPARE(again.files().at(1), u"/lists/7.kabu"_s);
        QCOMPARE(again.files().last(), u"/lists/last.kabu"_s);
    }

    // A tick updates the shown rows that are due and the period starts again; a tick during
    // a run starts none.
    void schedulerUpdatesTheDueRows()
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        CQuotraDoc doc;
        doc.replaceRows(MakeRows({ { u"7203"_s, u"2,500"_s, {}, now - 3600 },
            { u"6758"_s, u"900"_s, {}, now - 10 }, { u"9984"_s, u"1"_s, {}, now - 7200 } }));
        settings.updateSpan = 1800;
        UpdateScheduler scheduler(
            doc, settings, CCLineInfo(),
            [] {
                return QStringList({ u"6758"_s, u"7203"_s });
            },
            prompts);
        QCOMPARE(scheduler.remainingMs(), -1);
        scheduler.restart(true);
        QVERIFY(scheduler.remainingMs() > 1790 * 1000);
        QSignalSpy started(&doc, &CQuotraDoc::updateStarted);
        QSignalSpy finished(&doc, &CQuotraDoc::updateFinished);
        QSignalSpy ticked(&scheduler, &UpdateScheduler::ticked);
        scheduler.tick();
        QCOMPARE(started.count(), 1);
        QCOMPARE(started.at(0).at(1).toInt(), 1); // 7203: 6758 is recent, 9984 not shown
        QCOMPARE(ticked.count(), 1);
        QVERIFY(scheduler.remainingMs() > 1790 * 1000);
        if (doc.isUpdating()) {
            scheduler.tick();
            QCOMPARE(started.count(), 1);
            QCOMPARE(ticked.count(), 1);
        }
        QVERIFY(finished.count() == 1 || finished.wait());
        QCOMPARE(scheduler.unattendedStatus(), 1); // no unattended run: nothing saved
        scheduler.stop();
        QCOMPARE(scheduler.remainingMs(), -1);
    }

    // An unattended run updates every shown row a moment after the list opened, saves it when
    // the run ends and reports 0; an output folder gone by then writes nothing and reports 1.
    void unattendedRunSavesAndReportsItsStatus()
    {
        for (const bool folderGone : { false, true }) {
            CQuotraDoc doc;
            ListHost host;
            doc.setSaveHost(&host);
            doc.replaceRows(MakeRows({ { u"7203"_s, u"2,500"_s }, { u"6758"_s, u"900"_s } }));
            const QString path = dir.filePath(folderGone ? u"gone.kabu"_s : u"kept.kabu"_s);
            doc.SetPathName(path);
            CCLineInfo line;
            line.autoRun = true;
            if (folderGone)
                line.outputFolder = dir.filePath(u"no-such-folder"_s);
            UpdateScheduler scheduler(
                doc, settings, line,
                [] {
                    return QStringList({ u"7203"_s, u"6758"_s });
                },
                prompts);
            scheduler.restart(true);
            // A coarse timer may give a few percent more.
            QVERIFY2(scheduler.remainingMs() < 2 * UpdateScheduler::kUnattendedDelayMs,
                qPrintable(QString::number(scheduler.remainingMs())));
            QSignalSpy started(&doc, &CQuotraDoc::updateStarted);
            QSignalSpy done(&scheduler, &UpdateScheduler::unattendedRunFinished);
            scheduler.tick();
            QCOMPARE(started.count(), 1);
            QCOMPARE(started.at(0).at(1).toInt(), 2);
            QVERIFY(done.count() == 1 || done.wait());
            QCOMPARE(done.at(0).at(0).toInt(), folderGone ? 1 : 0);
            QCOMPARE(scheduler.unattendedStatus(), folderGone ? 1 : 0);
            QCOMPARE(QFile::exists(path), !folderGone);
            QCOMPARE(prompts.messages.size(), folderGone ? 1 : 0);
            if (folderGone)
                QVERIFY(prompts.messages[0].contains(line.outputFolder));
            else
                QVERIFY(ReadListFile([&] {
                    QFile f(path);
                    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                }())
                            .ok());
            QCOMPARE(scheduler.remainingMs(), -1);
            doc.setSaveHost(nullptr);
        }
    }

    // The question about unsaved changes: Cancel keeps the list, No discards it, Yes saves it
    // as a list file whose name is asked for (cancelled: the list stays modified, its title
    // marked). An unattended run asks nobody for a name.
    void unsavedChangesAnswers()
    {
        QMainWindow window;
        CQuotraDoc doc;
        auto *view = new CQuotraView(doc, &window);
        StatusBarPanes panes(window, nullptr);
        QMenu menu;
        RecentFiles recent(menu);
        UpdateScheduler scheduler(doc, settings, CCLineInfo(), {}, prompts);
        DocumentCommands commands({ doc, *view, settings, panes, recent, scheduler, prompts, window, false });
        doc.setSaveHost(&commands);
        QVERIFY2(commands.SaveModified(), "nothing to save, nothing asked");
        QVERIFY(prompts.messages.isEmpty());
        doc.replaceRows(MakeRows({ { u"7203"_s, u"2,500"_s } }));
        doc.MarkModified();
        const QString title = doc.title();

        QList<int> answers { tessera::IdCancel, tessera::IdNo, tessera::IdYes };
        prompts.onMessage = [&](const QString &, unsigned) { return answers.takeFirst(); };
        int asked = 0;
        prompts.onSaveFile = [&](const FileQuestion &) {
            ++asked;
            return QString();
        };
        QVERIFY(!commands.SaveModified());
        QCOMPARE(prompts.messages,
            QStringList({ tessera::FormatResourceString(Ids::MsgSaveChanges, { PlainTitle(title) }) }));
        QVERIFY(commands.SaveModified());
        QVERIFY(doc.IsModified()); // No leaves the discarding to the caller
        QCOMPARE(asked, 0);
        QVERIFY(!commands.SaveModified());
        QCOMPARE(asked, 1);
        QCOMPARE(prompts.lastFileQuestion.suffix, u"kabu"_s);
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.title(), title);
        QVERIFY(recent.files().isEmpty());
        QVERIFY(answers.isEmpty());
        doc.setSaveHost(nullptr);

        DocumentCommands unattended(
            { doc, *view, settings, panes, recent, scheduler, prompts, window, true });
        QVERIFY(!unattended.canAskSavePath());
        QVERIFY(unattended.askSavePath(dir.filePath(u"x.kabu"_s)).isEmpty());
        QCOMPARE(asked, 1);
    }
};

QTEST_MAIN(FramePiecesTest)
#include "FramePiecesTest.moc"
