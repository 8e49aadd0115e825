#include "DocTestSupport.h"

#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

struct Progress {
    quint64 generation;
    int index;
    QString code;
};

class DocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tessera::SetMessageHandler([this](const QString &text, unsigned style) {
            messages.push_back(text);
            return tessera::DefaultMessageResult(style);
        });
        doc.setFetchFactory(site.factory());
        QObject::connect(&doc, &CQuotraDoc::updateProgress, &doc, [this](quint64 g, int i, const QString &c) {
            progress.push_back({ g, i, c });
        });
        QObject::connect(&doc, &CQuotraDoc::updateFinished, &doc,
            [this](quint64 g, bool changed) { finished.emplace_back(g, changed); });
    }
    void TearDown() override { tessera::SetMessageHandler({}); }

    void addRow(const QString &code, const QString &price = {})
    {
        RecordMap rows;
        for (const auto &[c, r] : doc.rows()) {
            auto copy = std::make_unique<QuoteRecord>(c);
            copy->FullCopy(*r);
            rows.emplace(c, std::move(copy));
        }
        auto r = std::make_unique<QuoteRecord>(code);
        r->values.set(SlotPrice, price);
        rows.emplace(code, std::move(r));
        doc.replaceRows(std::move(rows));
    }
    bool waitFinished(size_t count = 1)
    {
        return processUntil([&] { return finished.size() >= count; });
    }
    static QString message(int id) { return tessera::ResourceString(id); }

    FakeSite site;
    CQuotraDoc doc;
    std::vector<QString> messages;
    std::vector<Progress> progress;
    std::vector<std::pair<quint64, bool>> finished;
};

} // namespace

TEST_F(DocTest, RowsAreInCodeUnitOrder)
{
    for (const QString &c : { u"^DJI"_s, u"7203"_s, u"1301"_s, u"AAPL"_s, u"130A"_s, u"72030"_s })
        addRow(c);
    QStringList order;
    for (const auto &[code, r] : doc.rows())
        order << code;
    EXPECT_EQ(order, (QStringList { u"1301"_s, u"130A"_s, u"7203"_s, u"72030"_s, u"AAPL"_s, u"^DJI"_s }));
}

TEST_F(DocTest, MarkModifiedAddsTheStarOnce)
{
    doc.setTitle(u"prices.kabu"_s);
    EXPECT_FALSE(doc.IsModified());
    doc.MarkModified();
    doc.MarkModified();
    EXPECT_EQ(doc.title(), u"prices.kabu *"_s);
    EXPECT_TRUE(doc.IsModified());
    doc.setTitle(u"x*"_s);
    doc.MarkModified();
    EXPECT_EQ(doc.title(), u"x*"_s);
}

TEST_F(DocTest, NewDocumentIsAnEmptyUntitledList)
{
    addRow(u"7203"_s);
    doc.SetPathName(u"/d/a.csv"_s);
    doc.setFileKind(FileKind::Csv);
    doc.MarkModified();
    doc.OnNewDocument();
    EXPECT_FALSE(doc.hasRows());
    EXPECT_EQ(doc.title(), message(1000));
    EXPECT_EQ(doc.fileKind(), FileKind::ListFile);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
}

TEST_F(DocTest, AddCodeRefusesAnUnusableCode)
{
    const CQuotraDoc::AddCodeOutcome added = doc.AddCode(u"130B"_s);
    EXPECT_EQ(added.result, CQuotraDoc::AddCodeResult::Refused);
    EXPECT_EQ(added.message.id, 2221);
    EXPECT_TRUE(messages.empty()) << "the caller shows the message";
    EXPECT_FALSE(doc.hasRows());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocTest, AddCodeOfAListedCodeSelectsItsRow)
{
    addRow(u"7203"_s);
    QString selected;
    QObject::connect(&doc, &CQuotraDoc::selectCodeRequested, &doc, [&](const QString &c) { selected = c; });
    const CQuotraDoc::AddCodeOutcome added = doc.AddCode(u"7203"_s);
    EXPECT_EQ(added.result, CQuotraDoc::AddCodeResult::AlreadyPresent);
    EXPECT_EQ(selected, u"7203"_s);
    EXPECT_EQ(added.message.id, 2206);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(doc.isUpdating());
}

TEST_F(DocTest, AddCodeAddsMarksAndUpdatesAtOnce)
{
    site.setPrice(u"7203"_s, u"2,500"_s);
    doc.setTitle(u"t"_s);
    const CQuotraDoc::AddCodeOutcome added = doc.AddCode(u"7203"_s);
    EXPECT_EQ(added.result, CQuotraDoc::AddCodeResult::Added);
    EXPECT_TRUE(added.message.isEmpty());
    EXPECT_TRUE(doc.contains(u"7203"_s));
    EXPECT_EQ(doc.title(), u"t *"_s);
    EXPECT_TRUE(doc.isUpdating());
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(doc.record(u"7203"_s)->values[SlotPrice], u"2,500"_s);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DocTest, PastedTextAddsEachNewCodeOnce)
{
    site.setPrice(u"7203"_s, u"1"_s);
    site.setPrice(u"6758"_s, u"2"_s);
    quint64 started = 0;
    int total = -1;
    QObject::connect(&doc, &CQuotraDoc::updateStarted, &doc, [&](quint64 g, int n) {
        started = g;
        total = n;
    });
    const CQuotraDoc::AddCodesOutcome added = doc.AddCodesFromText(u"7203 トヨタ自動車\n6758,Sony\n\n7203"_s);
    EXPECT_EQ(added.added, QStringList({ u"7203"_s, u"6758"_s }));
    EXPECT_TRUE(added.message.isEmpty());
    EXPECT_EQ(doc.rows().size(), 2u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(total, 2);
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].code, u"7203"_s) << "updated in the order of the text";
    EXPECT_EQ(progress[1].code, u"6758"_s);
    EXPECT_EQ(progress[0].generation, started);
}

struct PasteCase {
    const char16_t *text;
    int message;
};

// Line breaks escaped, so that the text stays one line in the test's name.
void PrintTo(const PasteCase &c, std::ostream *os)
{
    *os << '"' << QString::fromUtf16(c.text).replace(u'\n', u"\\n"_s).toStdString() << '"';
}

class PasteMessageTest : public DocTest, public ::testing::WithParamInterface<PasteCase> { };

TEST_P(PasteMessageTest, RefusesWithItsMessage)
{
    addRow(u"7203"_s);
    const CQuotraDoc::AddCodesOutcome added = doc.AddCodesFromText(QStringView(GetParam().text));
    EXPECT_FALSE(added.ok());
    EXPECT_EQ(added.message.id, GetParam().message);
    EXPECT_TRUE(messages.empty()) << "the caller shows the message";
    EXPECT_EQ(doc.rows().size(), 1u);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.isUpdating());
}

INSTANTIATE_TEST_SUITE_P(Texts, PasteMessageTest,
    ::testing::Values(PasteCase { u"", 2212 }, PasteCase { u"abc", 2205 }, PasteCase { u"\n \n", 2205 },
        PasteCase { u"123456789", 2205 }, PasteCase { u"7203\n7203 again", 2206 }));

TEST_F(DocTest, RowSignalsComeWhileTheRecordsStillExist)
{
    addRow(u"7203"_s, u"2,500"_s);
    addRow(u"6758"_s);
    QStringList events;
    QObject::connect(&doc, &CQuotraDoc::rowsAboutToBeRemoved, &doc, [&](const QStringList &codes) {
        // A view drops its references here: every record must still be readable.
        for (const QString &c : codes)
            events << u"about "_s + c + u"="_s + (doc.record(c) ? u"alive"_s : u"freed"_s);
    });
    QObject::connect(&doc, &CQuotraDoc::rowsRemoved, &doc, [&](const QStringList &codes) {
        events << u"removed "_s + codes.join(u',') + u" left "_s + QString::number(doc.rows().size());
    });
    QObject::connect(&doc, &CQuotraDoc::rowsAboutToBeReset, &doc,
        [&] { events << u"about reset, rows "_s + QString::number(doc.rows().size()); });
    QObject::connect(&doc, &CQuotraDoc::rowsReset, &doc,
        [&] { events << u"reset, rows "_s + QString::number(doc.rows().size()); });

    EXPECT_EQ(doc.removeRows({ u"7203"_s, u"7203"_s, u"9999"_s }), 1) << "repeats and unknown codes ignored";
    EXPECT_EQ(doc.removeRows({ u"9999"_s }), 0);
    doc.clearRows();
    EXPECT_EQ(events,
        QStringList({ u"about 7203=alive"_s, u"removed 7203 left 1"_s, u"about reset, rows 1"_s,
            u"reset, rows 0"_s }));
}

TEST_F(DocTest, AddingCodesIsAnInsertNotAReset)
{
    addRow(u"7203"_s);
    int resets = 0;
    std::vector<QStringList> inserted;
    QObject::connect(&doc, &CQuotraDoc::rowsReset, &doc, [&] { ++resets; });
    QObject::connect(&doc, &CQuotraDoc::rowsInserted, &doc, [&](const QStringList &codes) {
        for (const QString &c : codes)
            EXPECT_NE(doc.record(c), nullptr) << "inserted rows are in the map already";
        inserted.push_back(codes);
    });
    EXPECT_EQ(doc.AddCode(u"6758"_s).result, CQuotraDoc::AddCodeResult::Added);
    EXPECT_TRUE(doc.AddCodesFromText(u"9984\n7203\n1301\n9984"_s).ok());
    EXPECT_EQ(resets, 0);
    ASSERT_EQ(inserted.size(), 2u);
    EXPECT_EQ(inserted[0], QStringList({ u"6758"_s }));
    EXPECT_EQ(inserted[1], QStringList({ u"9984"_s, u"1301"_s }));
    doc.StopUpdate();
}

TEST_F(DocTest, UpdateWritesValuesErrorsAndProfit)
{
    addRow(u"7203"_s, u"old"_s);
    addRow(u"6758"_s, u"keep"_s);
    addRow(u"9999"_s);
    auto *held = doc.record(u"7203"_s);
    held->has_holdings = true;
    held->shares = 100;
    held->amount = 100000;
    site.setPrice(u"7203"_s, u"1,300"_s);
    site.setPrevClose(u"7203"_s, u"1,234"_s);
    site.setPrice(u"9999"_s, u"5"_s);
    // Display texts a list kept for the rows: every update result drops them, failed or not.
    const quint32 ends[] = { 1 };
    for (const QString &code : { u"7203"_s, u"6758"_s, u"9999"_s })
        doc.record(code)->shown_texts.assign(1, u"x", ends, 1);
    doc.StartUpdate({ u"7203"_s, u"6758"_s, u"9999"_s });
    ASSERT_TRUE(waitFinished());
    for (const QString &code : { u"7203"_s, u"6758"_s, u"9999"_s })
        EXPECT_FALSE(doc.record(code)->shown_texts.holds(1)) << qPrintable(code);
    ASSERT_EQ(progress.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(progress[i].index, i);
    EXPECT_EQ(held->values[SlotPrice], u"1,300"_s);
    EXPECT_DOUBLE_EQ(held->loss, 23400);
    const QuoteRecord *failed = doc.record(u"6758"_s);
    EXPECT_EQ(failed->values[SlotStatus], QString::fromUtf16(kFetchErrorText));
    EXPECT_EQ(failed->values[SlotPrice], u"keep"_s) << "a failed fetch keeps the last values";
    EXPECT_GE(failed->datetime, QDateTime::currentSecsSinceEpoch() - 5);
    EXPECT_EQ(doc.fetchError(u"6758"_s), u"HTTP status 404"_s) << "the reason is kept for the window";
    EXPECT_EQ(doc.fetchError(u"7203"_s), QString());
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_TRUE(finished[0].second);
    // A later success forgets the reason; so does deleting the row.
    site.setPrice(u"6758"_s, u"900"_s);
    doc.StartUpdate({ u"6758"_s });
    ASSERT_TRUE(waitFinished(2));
    EXPECT_EQ(doc.fetchError(u"6758"_s), QString());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.isUpdating());
}

TEST_F(DocTest, RunWithoutChangesLeavesTheDocumentUnmodified)
{
    addRow(u"7203"_s);
    site.setPrice(u"7203"_s, u"100"_s);
    doc.StartUpdate({ u"7203"_s });
    ASSERT_TRUE(waitFinished(1));
    doc.SetModifiedFlag(false);
    const qint64 before = doc.record(u"7203"_s)->datetime;
    doc.record(u"7203"_s)->datetime = before - 100;
    doc.StartUpdate({ u"7203"_s });
    ASSERT_TRUE(waitFinished(2));
    EXPECT_FALSE(finished[1].second);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_GE(doc.record(u"7203"_s)->datetime, before) << "the time moves on all the same";
}

TEST_F(DocTest, ClearingAnEarlierErrorIsAChange)
{
    addRow(u"7203"_s, u"100"_s);
    doc.record(u"7203"_s)->values.set(SlotName, u"name 7203"_s);
    doc.record(u"7203"_s)->values.set(SlotStatus, QString::fromUtf16(kFetchErrorText));
    site.setPrice(u"7203"_s, u"100"_s);
    doc.StartUpdate({ u"7203"_s });
    ASSERT_TRUE(waitFinished());
    EXPECT_TRUE(finished[0].second);
    EXPECT_TRUE(doc.record(u"7203"_s)->values[SlotStatus].isEmpty());
}

TEST_F(DocTest, RowDeletedDuringTheRunIsSkippedAndStillCounted)
{
    for (const QString &c : { u"1111"_s, u"2222"_s, u"3333"_s }) {
        addRow(c);
        site.setPrice(c, u"9"_s);
    }
    site.setHold(true);
    doc.StartUpdate({ u"1111"_s, u"2222"_s, u"3333"_s });
    EXPECT_EQ(doc.removeRows({ u"2222"_s, u"none"_s }), 1);
    site.setHold(false);
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[0].index, 0);
    EXPECT_EQ(progress[1].index, 2);
    EXPECT_EQ(progress[1].code, u"3333"_s);
    EXPECT_FALSE(doc.contains(u"2222"_s));
}

TEST_F(DocTest, StopAfterTheFirstCodeReportsNoChange)
{
    for (const QString &c : { u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s }) {
        addRow(c);
        site.setPrice(c, u"new"_s);
    }
    QObject::connect(&doc, &CQuotraDoc::updateProgress, &doc, [this](quint64, int index, const QString &) {
        if (index == 0)
            doc.StopUpdate();
    });
    site.setHoldAfter(1);
    doc.StartUpdate({ u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s });
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(progress.size(), 1u);
    EXPECT_FALSE(finished[0].second) << "a stopped run reports no change, though row 1 changed";
    EXPECT_EQ(doc.record(u"1"_s)->values[SlotPrice], u"new"_s);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.isUpdating());
}

TEST_F(DocTest, EmptyBatchOnlyFinishes)
{
    doc.StartUpdate({});
    ASSERT_TRUE(waitFinished());
    EXPECT_TRUE(progress.empty());
    EXPECT_FALSE(finished[0].second);
}

TEST_F(DocTest, StartingARunStopsTheRunningOne)
{
    addRow(u"1"_s);
    addRow(u"2"_s);
    site.setPrice(u"1"_s, u"x"_s);
    site.setPrice(u"2"_s, u"y"_s);
    site.setHold(true);
    const quint64 first = doc.StartUpdate({ u"1"_s });
    const quint64 second = doc.StartUpdate({ u"2"_s });
    ASSERT_EQ(finished.size(), 1u) << "the first run ended inside the second start";
    site.setHold(false);
    ASSERT_TRUE(waitFinished(2));
    EXPECT_EQ(finished[0], std::make_pair(first, false));
    EXPECT_EQ(finished[1].first, second);
    for (const Progress &p : progress)
        EXPECT_EQ(p.generation, second) << "nothing of the replaced run after it was stopped";
}

TEST_F(DocTest, DueForUpdateSkipsRowsUpdatedWithinAMinute)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    addRow(u"30s"_s);
    addRow(u"60s"_s);
    addRow(u"61s"_s);
    doc.record(u"30s"_s)->datetime = now - 30;
    doc.record(u"60s"_s)->datetime = now - 60;
    doc.record(u"61s"_s)->datetime = now - 61;
    EXPECT_EQ(doc.DueForUpdate({ u"61s"_s, u"gone"_s, u"30s"_s, u"60s"_s }, now), QStringList { u"61s"_s });
}

TEST_F(DocTest, UpdateSelectedStartsOnlyDueRows)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    addRow(u"7203"_s);
    doc.record(u"7203"_s)->datetime = now - 30;
    EXPECT_FALSE(doc.UpdateSelected({ u"7203"_s }));
    EXPECT_FALSE(doc.isUpdating());
    doc.record(u"7203"_s)->datetime = now - 61;
    site.setPrice(u"7203"_s, u"1"_s);
    EXPECT_TRUE(doc.UpdateSelected({ u"7203"_s }));
    ASSERT_TRUE(waitFinished());
}

TEST_F(DocTest, UpdateSelectedDuringARunStartsNothingAndAsksNothing)
{
    addRow(u"7203"_s);
    doc.record(u"7203"_s)->datetime = 0;
    site.setHold(true);
    const quint64 running = doc.StartUpdate({ u"7203"_s });
    quint64 restarted = 0;
    QObject::connect(&doc, &CQuotraDoc::updateStarted, &doc, [&](quint64 g, int) { restarted = g; });
    EXPECT_FALSE(doc.UpdateSelected({ u"7203"_s }));
    EXPECT_TRUE(messages.empty()) << "the caller asks whether to stop the run";
    EXPECT_EQ(restarted, 0u);
    doc.HoldUpdate();
    doc.ReleaseUpdate();
    EXPECT_TRUE(doc.isUpdating()) << "a hold and its release let the run go on";
    doc.StopUpdate();
    EXPECT_FALSE(doc.isUpdating());
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].first, running);
}

// ---- Saving

// A host that records what would be written instead of writing it.
class RecordingSaveHost : public SaveHost {
public:
    ColumnLayout layoutToStore() const override { return {}; }
    const TableSource *tableToExport() const override { return nullptr; }
    QString askSavePath(const QString &suggested) override { return ask ? ask(suggested) : QString(); }
    tessera::Status writeFile(const QString &target, FileKind kind, const RecordMap &) override
    {
        saves.emplace_back(target, kind);
        if (saveResult)
            return tessera::Ok {};
        return tessera::Error { 1, u"cannot write "_s + target + u": disk full"_s };
    }
    std::function<QString(const QString &)> ask;
    std::vector<std::pair<QString, FileKind>> saves;
    bool saveResult = true;
};

class DocSaveTest : public DocTest {
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        doc.setSaveHost(&host);
        doc.SetPathName(u"/d/prices.kabu"_s);
        doc.MarkModified();
    }
    void TearDown() override
    {
        doc.setSaveHost(nullptr);
        DocTest::TearDown();
    }
    RecordingSaveHost host;
    std::vector<std::pair<QString, FileKind>> &saves = host.saves;
};

TEST_F(DocSaveTest, ListFileSaveTakesTheNewNameAndClearsModified)
{
    EXPECT_EQ(doc.DoSave(u"/d/new.txt"_s).kind, SaveOutcome::Saved);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0], std::make_pair(u"/d/new.kabu"_s, FileKind::ListFile));
    EXPECT_EQ(doc.GetPathName(), u"/d/new.kabu"_s);
    EXPECT_EQ(doc.title(), u"new.kabu"_s);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocSaveTest, CsvExportLeavesTheDocumentAsItWas)
{
    const SaveOutcome outcome = doc.DoSave(u"/d/out.csv"_s);
    EXPECT_EQ(outcome.kind, SaveOutcome::Exported);
    EXPECT_EQ(outcome.target, u"/d/out.csv"_s);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].second, FileKind::Csv);
    EXPECT_EQ(doc.GetPathName(), u"/d/prices.kabu"_s);
    EXPECT_EQ(doc.title(), u"prices.kabu *"_s);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.fileKind(), FileKind::Csv) << "the kind follows the last save";
}

TEST_F(DocSaveTest, FailedSaveKeepsTitleFlagAndKindAndSaysWhy)
{
    doc.setFileKind(FileKind::Csv);
    host.saveResult = false;
    const SaveOutcome outcome = doc.DoSave(u"/d/new.kabu"_s);
    EXPECT_EQ(outcome.kind, SaveOutcome::Failed);
    EXPECT_EQ(outcome.message, u"cannot write /d/new.kabu: disk full"_s);
    EXPECT_EQ(doc.fileKind(), FileKind::Csv) << "a failed save keeps the kind it had";
    EXPECT_EQ(doc.title(), u"prices.kabu *"_s);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), u"/d/prices.kabu"_s);
}

TEST_F(DocSaveTest, DefaultListAsksForANewName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString defaultList = dir.filePath(u"東証株価.kabu"_s);
    QFile f(defaultList);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    SaveNamingContext naming;
    naming.defaultListPath = defaultList;
    doc.setSaveNaming(naming);
    QString suggested;
    host.ask = [&](const QString &s) {
        suggested = s;
        return QString();
    };
    EXPECT_EQ(doc.DoSave(defaultList).kind, SaveOutcome::Cancelled);
    EXPECT_EQ(suggested, defaultList);
    EXPECT_TRUE(saves.empty()) << "cancelled: nothing written";
    host.ask = [&](const QString &) { return dir.filePath(u"mine.kabu"_s); };
    EXPECT_EQ(doc.DoSave(defaultList).kind, SaveOutcome::Saved);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].first, dir.filePath(u"mine.kabu"_s));
}

TEST_F(DocSaveTest, UnattendedSaveGoesToTheOutputFolder)
{
    QTemporaryDir dir;
    SaveNamingContext naming;
    naming.unattended = true;
    naming.outputFolder = dir.path();
    naming.workbookOutput = true;
    doc.setSaveNaming(naming);
    EXPECT_EQ(doc.DoSave(u"/d/prices.kabu"_s).kind, SaveOutcome::Saved);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_TRUE(saves[0].first.startsWith(dir.path() + u"/prices"_s));
    EXPECT_TRUE(saves[0].first.endsWith(u".xlsx"_s));
    EXPECT_EQ(saves[0].first.size(), dir.path().size() + QStringLiteral("/prices12060905.xlsx").size());
    EXPECT_EQ(saves[0].second, FileKind::Workbook);
}

TEST_F(DocSaveTest, SaveStopsARunningUpdateFirst)
{
    addRow(u"7203"_s);
    site.setHold(true);
    doc.StartUpdate({ u"7203"_s });
    EXPECT_EQ(doc.DoSave(u"/d/x.kabu"_s).kind, SaveOutcome::Saved);
    EXPECT_FALSE(doc.isUpdating());
    ASSERT_EQ(finished.size(), 1u);
}

// The thread-safety proof, meant for the ThreadSanitizer build: while a run fetches on its
// thread, this thread keeps reading every cell, deleting rows and adding new ones.
TEST_F(DocTest, RowsMayBeReadDeletedAndAddedWhileARunIsInProgress)
{
    QStringList batch;
    for (int i = 0; i < 300; ++i) {
        const QString code = QString::number(1000 + i);
        addRow(code, u"0"_s);
        site.setPrice(code, QString::number(i));
        batch << code;
    }
    int progressWithoutRow = 0;
    QObject::connect(&doc, &CQuotraDoc::updateProgress, &doc, [&](quint64, int, const QString &code) {
        if (!doc.record(code))
            ++progressWithoutRow;
    });
    doc.StartUpdate(batch);
    int round = 0;
    qsizetype cells = 0;
    while (doc.isUpdating()) {
        for (const auto &[code, r] : doc.rows()) {
            for (QStringView v : r->values)
                cells += v.size();
            cells += r->code.size() + r->kind.size();
        }
        if (round % 3 == 0)
            doc.removeRows({ QString::number(1000 + (round * 7) % 300) });
        if (round % 5 == 0)
            addRow(u"N"_s + QString::number(round));
        ++round;
        QCoreApplication::processEvents();
    }
    EXPECT_GT(cells, 0);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(progressWithoutRow, 0) << "progress only for rows that exist when it is applied";
    EXPECT_LT(progress.size(), static_cast<size_t>(batch.size()))
        << "rows deleted before their turn are skipped";
}
