// Opening lists into the document and the document's save routing: a failed open or save
// never costs the user the list that is open or the file that is on disk.
#include "document/DocumentIo.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "document/CsvExport.h"
#include "document/JsonExport.h"
#include "document/ListFile.h"
#include "document/SafeSave.h"
#include "document/TableSource.h"
#include "document/TextList.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/ExportBytes.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

// The code and price of each row, in key order: what a table shows of a small list.
class CodePriceTable : public TableSource {
public:
    explicit CodePriceTable(const RecordMap &rows)
    {
        for (const auto &[code, record] : rows)
            m_rows.push_back(record.get());
    }
    int columnCount() const override { return 2; }
    int columnField(int column) const override { return column == 0 ? FieldCode : 4; }
    QString columnCaption(int column) const override { return column == 0 ? u"コード"_s : u"現在値"_s; }
    int rowCount() const override { return static_cast<int>(m_rows.size()); }
    const QuoteRecord &rowRecord(int row) const override { return *m_rows[static_cast<size_t>(row)]; }
    QString cellText(int row, int column) const override
    {
        const QuoteRecord &r = rowRecord(row);
        return column == 0 ? r.code : QStringView(r.values[SlotPrice]).toString();
    }

private:
    std::vector<const QuoteRecord *> m_rows;
};

RecordMap makeRows(const std::vector<std::pair<QString, QString>> &codePrices)
{
    RecordMap rows;
    for (const auto &[code, price] : codePrices) {
        auto r = std::make_unique<QuoteRecord>(code);
        r->values.set(SlotPrice, price);
        rows.emplace(code, std::move(r));
    }
    return rows;
}

ColumnLayout codeAndPriceLayout()
{
    ColumnLayout layout;
    layout.orderList = u"0,1,2,"_s;
    layout.alignList = u"0,1,1,"_s;
    layout.widthList = u"0,60,80,"_s;
    layout.indexList = u"0,1,4,"_s;
    layout.packedSort = PackSort(2, false);
    return layout;
}

// A doc's rows as "code=price" texts, for comparing before and after.
QStringList rowTexts(const CQuotraDoc &doc)
{
    QStringList texts;
    for (const auto &[code, record] : doc.rows())
        texts << code + u'=' + QStringView(record->values[SlotPrice]).toString();
    return texts;
}

class DocumentIo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        tessera::SetMessageHandler([this](const QString &text, unsigned) {
            messages << text;
            return int(tessera::IdOk);
        });
    }
    void TearDown() override { tessera::SetMessageHandler({}); }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString write(const QString &name, const QByteArray &data) const
    {
        const QString p = path(name);
        QFile f(p);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            ADD_FAILURE() << "cannot write " << p.toStdString();
        return p;
    }
    static QByteArray read(const QString &p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QByteArray listBytes()
    {
        return WriteListFile(
            makeRows({ { u"6758"_s, u"3,397"_s }, { u"7203"_s, u"2,788.5"_s } }), codeAndPriceLayout());
    }
    // A document holding a list of its own, named, modified: what a failed open must keep.
    void openPrevious()
    {
        const QString p = write(u"previous.kabu"_s,
            WriteListFile(
                makeRows({ { u"9432"_s, u"150"_s }, { u"8306"_s, u"1,800"_s } }), codeAndPriceLayout()));
        ASSERT_TRUE(OpenDocument(doc, p).ok());
        doc.MarkModified();
    }

    QTemporaryDir m_dir;
    CQuotraDoc doc;
    QStringList messages;
};

// ---- Opening

TEST_F(DocumentIo, OpenTakesRowsLayoutAndIdentity)
{
    openPrevious();
    const QString p = write(u"List.KABU"_s, listBytes());
    auto opened = OpenDocument(doc, p);
    ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
    EXPECT_EQ(rowTexts(doc), (QStringList { u"6758=3,397"_s, u"7203=2,788.5"_s }));
    ASSERT_TRUE(opened->layout.has_value());
    EXPECT_EQ(*opened->layout, codeAndPriceLayout());
    EXPECT_EQ(opened->version, kCurrentListVersion);
    EXPECT_EQ(doc.GetPathName(), QFileInfo(p).absoluteFilePath());
    EXPECT_EQ(doc.title(), u"List.KABU"_s);
    EXPECT_EQ(doc.fileKind(), FileKind::ListFile);
    EXPECT_FALSE(doc.IsModified()) << "a list just opened has no unsaved changes";
}

struct KindCase {
    const char *file;
    bool listContent;
    FileKind kind;
};

void PrintTo(const KindCase &c, std::ostream *os)
{
    *os << c.file << (c.listContent ? " with a list" : " with text");
}

class OpenKind : public DocumentIo, public ::testing::WithParamInterface<KindCase> { };

TEST_P(OpenKind, KindFollowsTheExtensionContentDecidesTheReader)
{
    const KindCase &c = GetParam();
    const QString p
        = write(QLatin1String(c.file), c.listContent ? listBytes() : QByteArray("7203\r\n6758\r\n"));
    auto opened = OpenDocument(doc, p);
    ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
    EXPECT_EQ(doc.fileKind(), c.kind);
    EXPECT_EQ(doc.rows().size(), 2u);
    EXPECT_EQ(opened->layout.has_value(), c.listContent);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenKind,
    ::testing::Values(KindCase { "a.CSV", false, FileKind::Csv }, KindCase { "b.json", true, FileKind::Json },
        KindCase { "c.txt", false, FileKind::ListFile }, KindCase { "noext", true, FileKind::ListFile },
        KindCase { "d.Kabu", true, FileKind::ListFile }));

struct BadFile {
    const char *name;
    const char *file;
    QByteArray (*bytes)();
};

void PrintTo(const BadFile &c, std::ostream *os)
{
    *os << c.name;
}

QByteArray truncatedList()
{
    QByteArray data
        = WriteListFile(makeRows({ { u"6758"_s, u"1"_s }, { u"7203"_s, u"2"_s } }), codeAndPriceLayout());
    data.chop(9);
    return data;
}
QByteArray firstRowOnly()
{
    // The version and the row count promise two rows; the file ends after part of the first.
    return truncatedList().left(40);
}
QByteArray shortFile()
{
    return QByteArray("\x1c\x2e", 2);
}
QByteArray invalidCodeInText()
{
    return QByteArray("7203\r\n6758\r\nabc\r\n");
}
QByteArray longLine()
{
    return QByteArray("7203\n") + QByteArray(5000, '1') + '\n';
}
QByteArray workbookBytes()
{
    return QByteArray("PK\x03\x04", 4);
}

class FailedOpen : public DocumentIo, public ::testing::WithParamInterface<BadFile> { };

TEST_P(FailedOpen, LeavesTheOpenListAndItsNameUntouched)
{
    openPrevious();
    const QStringList rowsBefore = rowTexts(doc);
    const QString pathBefore = doc.GetPathName();
    const QString titleBefore = doc.title();
    int resets = 0;
    QObject::connect(&doc, &CQuotraDoc::rowsReset, &doc, [&] { ++resets; });

    const BadFile &c = GetParam();
    const QString p = c.bytes ? write(QLatin1String(c.file), c.bytes()) : path(QLatin1String(c.file));
    auto opened = OpenDocument(doc, p);
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error().message.startsWith(
        tessera::ResourceString(2205) + u'\n' + QFileInfo(p).absoluteFilePath()))
        << opened.error().message.toStdString();
    EXPECT_EQ(rowTexts(doc), rowsBefore);
    EXPECT_EQ(resets, 0) << "the view must not be asked to rebuild";
    EXPECT_EQ(doc.GetPathName(), pathBefore);
    EXPECT_EQ(doc.title(), titleBefore);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.fileKind(), FileKind::ListFile);
}

INSTANTIATE_TEST_SUITE_P(Files, FailedOpen,
    ::testing::Values(BadFile { "missing", "absent.kabu", nullptr },
        BadFile { "truncated_layout", "t.kabu", &truncatedList },
        BadFile { "truncated_row", "r.csv", &firstRowOnly }, BadFile { "three_bytes", "s.kabu", &shortFile },
        BadFile { "invalid_code", "codes.txt", &invalidCodeInText },
        BadFile { "line_too_long", "long.txt", &longLine },
        BadFile { "workbook", "book.xlsx", &workbookBytes }),
    [](const ::testing::TestParamInfo<BadFile> &info) { return std::string(info.param.name); });

TEST_F(DocumentIo, InvalidCodeTextIsTheMessageAndThePath)
{
    const QString p = write(u"codes.txt"_s, invalidCodeInText());
    auto opened = OpenDocument(doc, p);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().code, TextListErrorInvalidCode);
    EXPECT_EQ(
        opened.error().message, tessera::ResourceString(2205) + u'\n' + QFileInfo(p).absoluteFilePath());
}

TEST_F(DocumentIo, OtherErrorsAddWhatWasWrong)
{
    const QString p = write(u"t.kabu"_s, truncatedList());
    auto opened = OpenDocument(doc, p);
    ASSERT_FALSE(opened.ok());
    const QStringList lines = opened.error().message.split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[2].startsWith(u"offset "_s)) << lines[2].toStdString();
}

// ---- Writing one file

TEST_F(DocumentIo, ListFileIsTheWritersBytes)
{
    const RecordMap rows = makeRows({ { u"7203"_s, u"2,788.5"_s }, { u"^DJI"_s, u"43,241.04"_s } });
    const QString target = path(u"out.kabu"_s);
    ASSERT_TRUE(SaveDocumentFile(target, FileKind::ListFile, rows, codeAndPriceLayout(), nullptr).ok());
    EXPECT_EQ(read(target), WriteListFile(rows, codeAndPriceLayout()));
}

TEST_F(DocumentIo, CsvAndJsonAreTheExportsOfTheTable)
{
    const RecordMap rows = makeRows({ { u"7203"_s, u"2,788.5"_s }, { u"^DJI"_s, u"43,241.04"_s } });
    const CodePriceTable table(rows);
    const QString csv = path(u"out.csv"_s);
    const QString json = path(u"out.json"_s);
    ASSERT_TRUE(SaveDocumentFile(csv, FileKind::Csv, rows, {}, &table).ok());
    ASSERT_TRUE(SaveDocumentFile(json, FileKind::Json, rows, {}, &table).ok());
    EXPECT_EQ(read(csv), CsvBytes(table));
    EXPECT_EQ(read(json), JsonBytes(table));
}

TEST_F(DocumentIo, ExportWithoutATableFails)
{
    const RecordMap rows = makeRows({ { u"7203"_s, u"1"_s } });
    auto saved = SaveDocumentFile(path(u"out.csv"_s), FileKind::Csv, rows, {}, nullptr);
    ASSERT_FALSE(saved.ok());
    EXPECT_FALSE(QFile::exists(path(u"out.csv"_s)));
}

TEST_F(DocumentIo, AWorkbookCountsTheLinksItLeftOutAndShowsNothing)
{
    // An address longer than a workbook link may be is written as plain text.
    const RecordMap rows = makeRows({ { u"7203"_s, u"1"_s }, { QString(2100, u'9'), u"2"_s } });
    // A workbook needs three columns: the price twice.
    struct WideTable : CodePriceTable {
        using CodePriceTable::CodePriceTable;
        int columnCount() const override { return 3; }
    };
    const WideTable table(rows);
    int shown = 0;
    tessera::SetMessageHandler([&](const QString &, unsigned) { return ++shown, int(tessera::IdOk); });
    int linksLeftOut = -1;
    ASSERT_TRUE(
        SaveDocumentFile(path(u"out.xlsx"_s), FileKind::Workbook, rows, {}, &table, {}, &linksLeftOut).ok());
    tessera::SetMessageHandler({});
    EXPECT_EQ(linksLeftOut, 1);
    EXPECT_EQ(shown, 0) << "the caller tells the user";
}

TEST_F(DocumentIo, WorkbookWithoutATableIsRefusedWithoutTouchingTheTarget)
{
    const QString target = write(u"book.xlsx"_s, "old");
    const RecordMap rows = makeRows({ { u"7203"_s, u"1"_s } });
    auto saved = SaveDocumentFile(target, FileKind::Workbook, rows, {}, nullptr);
    ASSERT_FALSE(saved.ok());
    EXPECT_TRUE(saved.error().message.startsWith(target));
    EXPECT_EQ(read(target), QByteArray("old"));
}

TEST_F(DocumentIo, EmptyExportNamesTheFileAndKeepsTheOldOne)
{
    const QString target = write(u"out.json"_s, "previous export");
    const RecordMap rows;
    const CodePriceTable table(rows);
    auto saved = SaveDocumentFile(target, FileKind::Json, rows, {}, &table);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, ExportErrorEmpty);
    EXPECT_TRUE(saved.error().message.startsWith(target + u": "_s)) << saved.error().message.toStdString();
    EXPECT_EQ(read(target), QByteArray("previous export"));
}

TEST_F(DocumentIo, MissingFolderFails)
{
    const RecordMap rows = makeRows({ { u"7203"_s, u"1"_s } });
    auto saved
        = SaveDocumentFile(path(u"none/out.kabu"_s), FileKind::ListFile, rows, codeAndPriceLayout(), nullptr);
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().code, SaveErrorOpen);
}

TEST_F(DocumentIo, UnwritableFolderKeepsThePreviousFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders; the file-size test covers this";
    QDir(m_dir.path()).mkdir(u"ro"_s);
    const QString target = write(u"ro/list.kabu"_s, "previous list");
    ASSERT_TRUE(QFile::setPermissions(path(u"ro"_s), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const RecordMap rows = makeRows({ { u"7203"_s, u"1"_s } });
    auto saved = SaveDocumentFile(target, FileKind::ListFile, rows, codeAndPriceLayout(), nullptr);
    QFile::setPermissions(
        path(u"ro"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(saved.ok());
    EXPECT_EQ(read(target), QByteArray("previous list"));
}

RecordMap manyRows()
{
    RecordMap rows;
    for (int i = 0; i < 3000; ++i) {
        const QString code = QString::number(100000 + i);
        auto r = std::make_unique<QuoteRecord>(code);
        r->values.set(SlotName, u"銘柄名 %1"_s.arg(i));
        r->values.set(SlotPrice, u"1,234.5"_s);
        rows.emplace(code, std::move(r));
    }
    return rows;
}

struct FullDiskCase {
    const char *file;
    FileKind kind;
};

void PrintTo(const FullDiskCase &c, std::ostream *os)
{
    *os << c.file;
}

class FullDisk : public DocumentIo, public ::testing::WithParamInterface<FullDiskCase> { };

TEST_P(FullDisk, KeepsThePreviousFile)
{
    const FullDiskCase &c = GetParam();
    const QByteArray previous(2000, 'p');
    const QString target = write(QLatin1String(c.file), previous);
    const RecordMap rows = manyRows();
    const CodePriceTable table(rows);
    tessera::Status saved = tessera::Ok {};
    {
        FileSizeLimit limit(16 * 1024);
        ASSERT_TRUE(limit.ok());
        saved = SaveDocumentFile(target, c.kind, rows, codeAndPriceLayout(), &table);
    }
    EXPECT_FALSE(saved.ok()) << "a write past the limit must fail the save";
    EXPECT_EQ(read(target), previous);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList { QLatin1String(c.file) })
        << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Kinds, FullDisk,
    ::testing::Values(FullDiskCase { "list.kabu", FileKind::ListFile },
        FullDiskCase { "list.csv", FileKind::Csv }, FullDiskCase { "list.json", FileKind::Json }));

// ---- The document's save routing

// Saves with a code-and-price table and layout, through the real writers, and records
// every outcome.
class CodePriceSaveHost : public SaveHost {
public:
    explicit CodePriceSaveHost(const CQuotraDoc &doc)
        : m_doc(doc)
    { }
    ColumnLayout layoutToStore() const override { return codeAndPriceLayout(); }
    const TableSource *tableToExport() const override
    {
        if (!withTable)
            return nullptr;
        m_table = std::make_unique<CodePriceTable>(m_doc.rows());
        return m_table.get();
    }
    tessera::Status writeFile(const QString &target, FileKind kind, const RecordMap &rows) override
    {
        tessera::Status status = SaveHost::writeFile(target, kind, rows);
        saves.emplace_back(target, status.ok());
        return status;
    }
    bool withTable = true;
    std::vector<std::pair<QString, bool>> saves;

private:
    const CQuotraDoc &m_doc;
    mutable std::unique_ptr<CodePriceTable> m_table;
};

class SaveRouting : public DocumentIo {
protected:
    void SetUp() override
    {
        DocumentIo::SetUp();
        QDir(m_dir.path()).mkdir(u"out"_s);
    }
    // Opens `name` written with `data`, and routes saves with a code-and-price table.
    QString open(const QString &name, const QByteArray &data)
    {
        const QString p = write(name, data);
        auto opened = OpenDocument(doc, p);
        EXPECT_TRUE(opened.ok());
        doc.setSaveHost(&host);
        return p;
    }
    void unattended(bool withFolder = true)
    {
        SaveNamingContext naming;
        naming.unattended = true;
        naming.outputFolder = withFolder ? path(u"out"_s) : QString();
        doc.setSaveNaming(naming);
    }
    // The out folder's one file, which must be `stem` + a time stamp of the save + `ext`.
    QString stampedFile(const QString &stem, const QString &ext, const QDateTime &from, const QDateTime &to)
    {
        const QStringList files = QDir(path(u"out"_s)).entryList(QDir::Files);
        if (files.size() != 1) {
            ADD_FAILURE() << "expected one file, got " << files.join(u' ').toStdString();
            return {};
        }
        const QString a = stem + from.toString(u"MMddHHmm"_s) + ext;
        const QString b = stem + to.toString(u"MMddHHmm"_s) + ext;
        EXPECT_TRUE(files[0] == a || files[0] == b) << files[0].toStdString();
        return path(u"out/"_s) + files[0];
    }

    void TearDown() override
    {
        doc.setSaveHost(nullptr);
        DocumentIo::TearDown();
    }

    CodePriceSaveHost host { doc };
    std::vector<std::pair<QString, bool>> &saves = host.saves;
};

TEST_F(SaveRouting, UnattendedListGoesToTheFolderTimeStamped)
{
    const QString p = open(u"prices.kabu"_s, listBytes());
    const QByteArray original = read(p);
    unattended();
    const QDateTime from = QDateTime::currentDateTime();
    EXPECT_EQ(doc.DoSave(doc.GetPathName()).kind, SaveOutcome::Saved);
    const QString saved = stampedFile(u"prices"_s, u".kabu"_s, from, QDateTime::currentDateTime());
    EXPECT_EQ(read(saved), WriteListFile(doc.rows(), codeAndPriceLayout()));
    EXPECT_EQ(read(p), original);
    EXPECT_EQ(doc.GetPathName(), saved) << "a list file save makes the new file the document's";
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_TRUE(saves[0].second);
}

TEST_F(SaveRouting, JsonOpenedIsSavedAsAListFile)
{
    open(u"prices.json"_s, listBytes());
    unattended();
    const QDateTime from = QDateTime::currentDateTime();
    EXPECT_EQ(doc.DoSave(doc.GetPathName()).kind, SaveOutcome::Saved);
    const QString saved = stampedFile(u"prices"_s, u".kabu"_s, from, QDateTime::currentDateTime());
    EXPECT_EQ(read(saved), WriteListFile(doc.rows(), codeAndPriceLayout()));
    EXPECT_EQ(doc.fileKind(), FileKind::ListFile);
}

TEST_F(SaveRouting, CsvOpenedStaysCsvAndLeavesTheDocumentsName)
{
    const QString p = open(u"codes.csv"_s, "7203\r\n6758\r\n");
    unattended();
    const QDateTime from = QDateTime::currentDateTime();
    EXPECT_EQ(doc.DoSave(doc.GetPathName()).kind, SaveOutcome::Exported) << "a CSV save is an export";
    const QString saved = stampedFile(u"codes"_s, u".csv"_s, from, QDateTime::currentDateTime());
    EXPECT_EQ(read(saved), CsvBytes(CodePriceTable(doc.rows())));
    EXPECT_EQ(doc.GetPathName(), QFileInfo(p).absoluteFilePath());
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_TRUE(saves[0].second) << "the export itself succeeded";
}

TEST_F(SaveRouting, WithoutAFolderTheListIsSavedInPlace)
{
    const QString p = open(u"codes.txt"_s, "7203\n");
    unattended(false);
    EXPECT_EQ(doc.DoSave(doc.GetPathName()).kind, SaveOutcome::Saved);
    EXPECT_EQ(read(p), QByteArray("7203\n")) << "the text list is kept";
    EXPECT_EQ(read(path(u"codes.kabu"_s)), WriteListFile(doc.rows(), codeAndPriceLayout()));
}

TEST_F(SaveRouting, AWorkbookIsNeverOverwrittenByAnUnattendedSave)
{
    open(u"book.kabu"_s, listBytes());
    // As if opened from the workbook: its other sheets are what a save must not lose.
    const QString book = write(u"book.xls"_s, QByteArray("\xD0\xCF\x11\xE0 other sheets"));
    doc.SetPathName(book);
    doc.setFileKind(FileKind::Workbook);
    unattended(false);
    const SaveOutcome outcome = doc.DoSave(doc.GetPathName());
    EXPECT_EQ(outcome.kind, SaveOutcome::Saved);
    EXPECT_EQ(outcome.target, path(u"book.kabu"_s));
    EXPECT_EQ(read(book), QByteArray("\xD0\xCF\x11\xE0 other sheets"));
    EXPECT_EQ(read(path(u"book.kabu"_s)), WriteListFile(doc.rows(), codeAndPriceLayout()));
    EXPECT_TRUE(outcome.notice.isEmpty()) << "book.kabu was a list file";
}

TEST_F(SaveRouting, AnotherFileUnderTheListsNameIsKeptAndTheSaveSaysSo)
{
    open(u"notes.txt"_s, "7203\n");
    const QString own = write(u"notes.kabu"_s, "the user's own notes\n");
    write(u"notes (2).kabu"_s, "more notes\n");
    unattended(false);
    const SaveOutcome outcome = doc.DoSave(doc.GetPathName());
    EXPECT_EQ(outcome.kind, SaveOutcome::Saved);
    const QString numbered = path(u"notes (3).kabu"_s);
    EXPECT_EQ(outcome.target, numbered);
    EXPECT_EQ(read(own), QByteArray("the user's own notes\n"));
    EXPECT_EQ(read(numbered), WriteListFile(doc.rows(), codeAndPriceLayout()));
    EXPECT_EQ(outcome.notice,
        tessera::FormatResourceString(
            Ids::MsgSavedBesideOtherFile, { QDir::toNativeSeparators(own), numbered }));
    EXPECT_EQ(doc.GetPathName(), numbered);
    EXPECT_TRUE(messages.isEmpty()) << "the caller shows the notice";
}

TEST_F(SaveRouting, TheDefaultListIsNeverOverwritten)
{
    const QString p = open(u"東証株価.kabu"_s, listBytes());
    const QByteArray original = read(p);
    SaveNamingContext naming;
    naming.defaultListPath = p;
    doc.setSaveNaming(naming);
    EXPECT_EQ(doc.DoSave(doc.GetPathName()).kind, SaveOutcome::Cancelled);
    EXPECT_TRUE(saves.empty()) << "nothing may be written without a new name";
    EXPECT_EQ(read(p), original);
}

TEST_F(SaveRouting, WorkbookKindFailsTheSave)
{
    open(u"prices.kabu"_s, listBytes());
    doc.MarkModified();
    EXPECT_EQ(doc.DoSave(path(u"prices.xlsx"_s), SaveRequest::Chosen).kind, SaveOutcome::Failed);
    EXPECT_FALSE(QFile::exists(path(u"prices.xlsx"_s)));
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_FALSE(saves[0].second);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SaveRouting, AFailureNamesTheTarget)
{
    open(u"prices.kabu"_s, listBytes());
    doc.MarkModified();
    const QString target = path(u"none/prices.kabu"_s);
    const SaveOutcome outcome = doc.DoSave(target);
    EXPECT_EQ(outcome.kind, SaveOutcome::Failed);
    EXPECT_EQ(outcome.target, target);
    EXPECT_TRUE(outcome.message.contains(target)) << outcome.message.toStdString();
    EXPECT_TRUE(messages.isEmpty()) << "the caller shows the failure";
    EXPECT_TRUE(doc.IsModified());
}

} // namespace
