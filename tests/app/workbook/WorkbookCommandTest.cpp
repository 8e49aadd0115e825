#include "app/ui/WorkbookCommand.h"
#include "app/core/AppSettings.h"
#include "app/core/FileDialogFilters.h"
#include "app/core/WorkbookCache.h"
#include "app/ui/CCodeListDlg.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/CodeListModel.h"
#include "app/ui/CommandTable.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/ListFile.h"
#include "document/workbook/CodeMap.h"
#include "document/workbook/WorkbookGrid.h"
#include "quotes/QuoteRecord.h"
#include "view/widgets/CQuotraView.h"

#include "tests/support/FakePrompts.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/Screenshot.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QuoteRecord> record(const QString &code, const QString &name, const char *when)
{
    auto r = std::make_unique<QuoteRecord>(code);
    r->values.set(SlotName, name);
    r->values.set(SlotOfField(FieldPrice), u"1,234"_s);
    r->datetime = QDateTime::fromString(QString::fromLatin1(when), u"yyyy-MM-dd HH:mm"_s).toSecsSinceEpoch();
    return r;
}

// Codes that the code rule and the text rule order differently.
CodeMap fourCodes()
{
    std::vector<std::unique_ptr<QuoteRecord>> records;
    records.push_back(record(u"9984"_s, u"ソフトバンクG"_s, "2026-07-14 15:00"));
    records.push_back(record(u"7203"_s, u"トヨタ自動車"_s, "2026-07-14 15:00"));
    records.push_back(record(u"10000"_s, u"アルファ"_s, "2026-07-14 15:00"));
    records.push_back(record(u"AAPL"_s, u"Apple"_s, "2026-07-14 15:00"));
    return BuildCodeMap(std::move(records));
}

QStringList rowCodes(const CodeListModel &model)
{
    QStringList codes;
    for (int r = 0; r < model.rowCount(); ++r)
        codes << model.code(r);
    return codes;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class WorkbookCommandTest : public QObject {
    Q_OBJECT

private:
    AppSettings settings;
    QStringList messages;
    std::unique_ptr<QTemporaryDir> dir;
    // The frame's dialogs and the desktop; its messages go to `messages`.
    FakePrompts prompts;

    struct Build {
        QStringList codes;
        int choice;
    };

    std::unique_ptr<CCodeListDlg> dialogOf(const CodeMap &map, std::vector<Build> *builds)
    {
        auto dlg = std::make_unique<CCodeListDlg>(
            map, map.codeCount(), std::vector<CompareColumn> {},
            [builds](const QStringList &codes, int choice) {
                builds->push_back({ codes, choice });
                return true;
            },
            QFont());
        dlg->show();
        return dlg;
    }

    void select(CCodeListDlg &dlg, std::initializer_list<int> rows)
    {
        QItemSelectionModel *selection = dlg.list()->selectionModel();
        selection->clearSelection();
        for (const int r : rows)
            selection->select(
                dlg.model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // A frame with rows 7203, 6758 and 9984 showing code, name and price.
    std::unique_ptr<CMainFrame> frameWithRows()
    {
        auto frame = std::make_unique<CMainFrame>(settings, CCLineInfo {}, prompts);
        frame->document().replaceRows(MakeRows({ { u"7203"_s, u"3,000"_s, u"トヨタ自動車"_s },
            { u"6758"_s, u"13,000"_s, u"ソニーG"_s }, { u"9984"_s, u"9,000"_s, u"ソフトバンクG"_s } }));
        const ColumnLayout layout = MakeLayout({ { 1, 0, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true);
        frame->view().refresh(&layout);
        frame->workbookCommand().folder = dir->filePath(u"cache"_s);
        frame->show();
        return frame;
    }

    QString saveList(const QString &name, std::initializer_list<RowSpec> rows)
    {
        const QString path = dir->filePath(name);
        const ColumnLayout layout = MakeLayout({ { 1, 0, 50 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true);
        const tessera::Status saved = SaveListFile(path, MakeRows(rows), layout);
        return saved ? path : QString();
    }

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
    void cleanupTestCase() { tessera::SetMessageHandler({}); }
    void init()
    {
        messages.clear();
        settings = AppSettings();
        settings.currentLanguage = 1041;
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        prompts = FakePrompts();
        prompts.onMessage
            = [](const QString &text, unsigned style) { return tessera::ShowMessage(text, style); };
    }

    // ---- The dialog

    void startsWithNothingChosen()
    {
        const CodeMap map = fourCodes();
        std::vector<Build> builds;
        auto dlg = dialogOf(map, &builds);
        QCOMPARE(dlg->model()->rowCount(), 4);
        // Rows in the map's key order, names from each code's record.
        QCOMPARE(rowCodes(*dlg->model()), QStringList({ u"10000"_s, u"7203"_s, u"9984"_s, u"AAPL"_s }));
        QCOMPARE(dlg->model()->data(dlg->model()->index(1, 1)).toString(), u"トヨタ自動車"_s);
        QCOMPARE(dlg->countLine()->text(), u"0/4"_s);
        QVERIFY(!dlg->okButton()->isEnabled());
        QCOMPARE(
            dlg->model()->headerData(0, Qt::Horizontal).toString(), tessera::ResourceString(Ids::ColumnCode));
        QCOMPARE(CCodeListDlg::CountText(1234, 5678), u"1,234/5,678"_s);
    }

    void selectingChecksAndCounts()
    {
        const CodeMap map = fourCodes();
        std::vector<Build> builds;
        auto dlg = dialogOf(map, &builds);
        select(*dlg, { 0, 2 });
        QVERIFY(dlg->model()->isChecked(0));
        QVERIFY(!dlg->model()->isChecked(1));
        QVERIFY(dlg->model()->isChecked(2));
        QCOMPARE(dlg->countLine()->text(), u"2/4"_s);
        QVERIFY(dlg->okButton()->isEnabled());

        // Clearing the box of one of several selected rows clears all of them.
        QVERIFY(dlg->model()->setData(dlg->model()->index(2, 0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(!dlg->model()->isChecked(0));
        QVERIFY(!dlg->model()->isChecked(2));
        // Nothing checked: OK must not turn into "every code".
        dlg->accept();
        QVERIFY(builds.empty());

        QVERIFY(dlg->model()->setData(dlg->model()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(dlg->model()->isChecked(0));
        QVERIFY(dlg->model()->isChecked(2));

        // A single selected row's box changes alone.
        select(*dlg, { 1 });
        QVERIFY(dlg->model()->setData(dlg->model()->index(3, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(dlg->model()->isChecked(1));
        QVERIFY(dlg->model()->isChecked(3));
        QVERIFY(!dlg->model()->isChecked(0));
    }

    void allCodesBoxDisablesTheList()
    {
        const CodeMap map = fourCodes();
        std::vector<Build> builds;
        auto dlg = dialogOf(map, &builds);
        select(*dlg, { 1 });
        dlg->allCodesBox()->setChecked(true);
        QCOMPARE(dlg->countLine()->text(), u"4/4"_s);
        QVERIFY(!dlg->list()->isEnabled());
        QVERIFY(dlg->okButton()->isEnabled());
        QVERIFY(dlg->list()->selectionModel()->selectedRows().isEmpty());
        dlg->choiceButton(1)->setChecked(true);
        dlg->accept();
        QCOMPARE(builds.size(), size_t(1));
        QVERIFY(builds[0].codes.isEmpty()); // every code
        QCOMPARE(builds[0].choice, 1);

        dlg->allCodesBox()->setChecked(false);
        QCOMPARE(dlg->countLine()->text(), u"0/4"_s);
        QVERIFY(dlg->list()->isEnabled());
        QVERIFY(!dlg->okButton()->isEnabled());
    }

    void buildsTwiceWithoutClosing()
    {
        const CodeMap map = fourCodes();
        std::vector<Build> builds;
        auto dlg = dialogOf(map, &builds);
        select(*dlg, { 1, 3 });
        dlg->accept();
        select(*dlg, { 0 });
        dlg->accept();
        QVERIFY(dlg->isVisible());
        QCOMPARE(builds.size(), size_t(2));
        QCOMPARE(builds[0].codes, QStringList({ u"7203"_s, u"AAPL"_s }));
        QCOMPARE(builds[0].choice, 0);
        QCOMPARE(builds[1].codes, QStringList({ u"10000"_s }));
        dlg->reject();
        QVERIFY(!dlg->isVisible());
    }

    void sortingKeepsTheSelection()
    {
        const CodeMap map = fourCodes();
        std::vector<Build> builds;
        auto dlg = dialogOf(map, &builds);
        select(*dlg, { 1 }); // 7203
        dlg->sortByColumn(0); // the code rule: numbers by value
        QCOMPARE(rowCodes(*dlg->model()), QStringList({ u"7203"_s, u"9984"_s, u"10000"_s, u"AAPL"_s }));
        dlg->sortByColumn(0); // again: the other way
        QCOMPARE(rowCodes(*dlg->model()), QStringList({ u"AAPL"_s, u"10000"_s, u"9984"_s, u"7203"_s }));
        QCOMPARE(dlg->list()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        const QModelIndexList selected = dlg->list()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(dlg->model()->code(selected.front().row()), u"7203"_s);
        QVERIFY(dlg->model()->isChecked(3));
        // The names by code units: Latin before katakana.
        dlg->sortByColumn(1);
        QCOMPARE(rowCodes(*dlg->model()), QStringList({ u"AAPL"_s, u"10000"_s, u"9984"_s, u"7203"_s }));
        QCOMPARE(dlg->model()->sortOrder(), Qt::AscendingOrder);
        QVERIFY(SaveShotIfAsked(*dlg, u"code-list-dialog.png"_s));
        dlg->accept();
        QCOMPARE(builds.back().codes, QStringList({ u"7203"_s }));
    }

    // ---- The command

    void showsTheSelectedRows()
    {
        auto frame = frameWithRows();
        const QList<QUrl> &opened = prompts.opened;
        frame->view().selectRows({ 0, 2 });
        frame->action(32777)->trigger();
        QCOMPARE(opened.size(), 1);
        const QString path = opened.front().toLocalFile();
        QVERIFY(path.startsWith(frame->workbookCommand().folder));
        QVERIFY(path.endsWith(u".xlsx"_s));
        const tessera::Result<WorkbookGrid> grid = ReadWorkbookGrid(readAll(path), path);
        QVERIFY(grid);
        QCOMPARE(grid->rows, 3); // the captions and the two selected rows
        QCOMPARE(grid->at(0, 0).text, tessera::ResourceString(Ids::ColumnCode));
        QCOMPARE(grid->at(1, 0).text, u"6758"_s); // codes are text cells; the view sorts by code
        QCOMPARE(grid->at(2, 0).text, u"9984"_s);
        QVERIFY(messages.isEmpty());

        // No selection: every row.
        frame->view().selectRows({});
        QVERIFY(frame->workbookCommand().showRows());
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened[1] != opened[0]); // a workbook still open elsewhere is never replaced
        const QString all = opened[1].toLocalFile();
        const tessera::Result<WorkbookGrid> grid2 = ReadWorkbookGrid(readAll(all), all);
        QVERIFY(grid2);
        QCOMPARE(grid2->rows, 4);
    }

    void saysSoWhenNothingOpensTheWorkbook()
    {
        auto frame = frameWithRows();
        prompts.onOpenUrl = [](const QUrl &) { return false; };
        QVERIFY(!frame->workbookCommand().showRows());
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.front().startsWith(tessera::ResourceString(Ids::MsgWorkbookAppFailed)));
        // The workbook is there all the same, for the user to open by hand.
        QVERIFY(QFile::exists(frame->workbookCommand().lastWorkbook()));
        QVERIFY(messages.front().contains(QDir::toNativeSeparators(frame->workbookCommand().lastWorkbook())));
    }

    void comparesSeveralLists()
    {
        const QString a = saveList(u"a.kabu"_s,
            { { u"7203"_s, u"3,000"_s, u"トヨタ自動車"_s, 1784000000 },
                { u"6758"_s, u"13,000"_s, u"ソニーG"_s, 1784000000 } });
        const QString b = saveList(u"b.kabu"_s, { { u"7203"_s, u"2,900"_s, u"トヨタ"_s, 1783900000 } });
        const QString c = saveList(u"c.kabu"_s,
            { { u"7203"_s, u"2,950"_s, u"トヨタ自"_s, 1783950000 },
                { u"9984"_s, u"9,000"_s, u"SBG"_s, 1783950000 } });
        QVERIFY(!a.isEmpty() && !b.isEmpty() && !c.isEmpty());

        auto frame = frameWithRows();
        const QList<QUrl> &opened = prompts.opened;
        prompts.onOpenFiles = [&](const FileQuestion &) { return QStringList({ a, b, c }); };
        int dialogs = 0;
        const auto work = [&](CCodeListDlg &dlg) {
            ++dialogs;
            // One row a code, whatever the number of files it occurs in; the name of 7203 is
            // its oldest record's (from b).
            QCOMPARE(rowCodes(*dlg.model()), QStringList({ u"6758"_s, u"7203"_s, u"9984"_s }));
            QCOMPARE(dlg.model()->data(dlg.model()->index(1, 1)).toString(), u"トヨタ"_s);
            QCOMPARE(dlg.countLine()->text(), u"0/3"_s);
            select(dlg, { 1 });
            dlg.accept();
            dlg.allCodesBox()->setChecked(true);
            dlg.choiceButton(1)->setChecked(true);
            dlg.accept();
        };
        prompts.onExec = [&](QDialog &dialog) {
            work(static_cast<CCodeListDlg &>(dialog));
            return dialog.result();
        };
        frame->action(Cmd::CompareLists)->trigger();
        QCOMPARE(dialogs, 1);
        // The files were asked for with the lists' filters; the next dialog opens where they were.
        QCOMPARE(
            prompts.lastFileQuestion.filters, QtNameFilters(FileDialogFilter(FileDialogKind::OpenSeveral)));
        QCOMPARE(settings.current, QFileInfo(a).absolutePath());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
        QCOMPARE(opened.size(), 2);
        // The first workbook has the one chosen code, the second all three.
        const QString first = opened[0].toLocalFile();
        const tessera::Result<WorkbookGrid> grid = ReadWorkbookGrid(readAll(first), first);
        QVERIFY(grid);
        // Row 1 is empty, so the used range starts at A2: the name of the newest record (a's).
        QCOMPARE(grid->at(0, 0).text, u"トヨタ自動車"_s);
        QVERIFY(QFileInfo(opened[1].toLocalFile()).size() > QFileInfo(first).size());
    }

    void escapeWhileReadingAsksAndStops()
    {
        const QString a = saveList(u"a.kabu"_s, { { u"7203"_s, u"3,000"_s, u"トヨタ"_s, 1784000000 } });
        const QString b = saveList(u"b.kabu"_s, { { u"6758"_s, u"13,000"_s, u"ソニーG"_s, 1784000000 } });
        auto frame = frameWithRows();
        WorkbookCommand &command = frame->workbookCommand();
        int asked = 0;
        bool stop = true;
        prompts.onMessage = [&](const QString &text, unsigned style) {
            if (text != tessera::ResourceString(Ids::MsgStopOperation))
                return tessera::ShowMessage(text, style);
            ++asked;
            return int(stop ? tessera::IdYes : tessera::IdNo);
        };
        prompts.onOpenFiles = [&](const FileQuestion &) {
            // Escape waits in the queue for the first check after a file.
            QCoreApplication::postEvent(&frame->view(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
            return QStringList({ a, b });
        };
        int dialogs = 0;
        prompts.onExec = [&](QDialog &) {
            ++dialogs;
            return int(QDialog::Rejected);
        };
        command.compareLists();
        QCOMPARE(asked, 1);
        QCOMPARE(dialogs, 0);
        QVERIFY(messages.isEmpty());

        // "No" goes on reading.
        stop = false;
        command.compareLists();
        QCOMPARE(asked, 2);
        QCOMPARE(dialogs, 1);
    }

    void unreadableListEndsWithItsError()
    {
        const QString a = saveList(u"a.kabu"_s, { { u"7203"_s, u"3,000"_s, u"トヨタ"_s, 1784000000 } });
        const QString broken = dir->filePath(u"broken.kabu"_s);
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a list file at all");
        f.close();
        auto frame = frameWithRows();
        prompts.onOpenFiles = [&](const FileQuestion &) { return QStringList({ a, broken }); };
        int dialogs = 0;
        prompts.onExec = [&](QDialog &) {
            ++dialogs;
            return int(QDialog::Rejected);
        };
        // Shift held makes the workbook command the comparison.
        prompts.shift = true;
        frame->action(Cmd::Workbook)->trigger();
        QCOMPARE(dialogs, 0);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.front().contains(u"broken.kabu"_s), qPrintable(messages.front()));
    }

    // ---- The cache folder

    void cacheNamesAndCleaning()
    {
        const QString folder = dir->filePath(u"cache"_s);
        QVERIFY(QDir().mkpath(folder));
        const QDateTime now = QDateTime::currentDateTime();
        const QString first = NewCacheWorkbookPath(folder, u"日経 225 / *銘柄*"_s, now);
        QCOMPARE(QFileInfo(first).path(), folder);
        QVERIFY2(!QFileInfo(first).fileName().contains(u'/'), qPrintable(first));
        QVERIFY(!QFileInfo(first).fileName().contains(u'*'));
        QVERIFY(QFileInfo(first).fileName().startsWith(u"日経 225"_s));
        QFile(first).open(QIODevice::WriteOnly);
        const QString second = NewCacheWorkbookPath(folder, u"日経 225 / *銘柄*"_s, now);
        QVERIFY(second != first);
        QVERIFY(QFileInfo(NewCacheWorkbookPath(folder, u"..."_s, now)).fileName().startsWith(u"Quotra-"_s));

        // Old workbooks go; new ones and other files stay.
        const QString old = folder + u"/old.xlsx"_s;
        const QString other = folder + u"/notes.txt"_s;
        for (const QString &p : { old, other }) {
            QFile file(p);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
            file.close();
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(now.addDays(-3), QFileDevice::FileModificationTime));
        }
        QCOMPARE(CleanWorkbookCache(folder, now), 1);
        QVERIFY(!QFile::exists(old));
        QVERIFY(QFile::exists(other));
        QVERIFY(QFile::exists(first));
        QCOMPARE(CleanWorkbookCache(folder + u"/missing"_s, now), 0);
    }
};

QTEST_MAIN(WorkbookCommandTest)
#include "WorkbookCommandTest.moc"
