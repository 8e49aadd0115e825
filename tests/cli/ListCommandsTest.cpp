// quotra-cli show, export and update, run as the user runs them.
#include "tests/support/SampleSite.h"

#include "app/core/AppSettings.h"
#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "document/CsvExport.h"
#include "document/JsonExport.h"
#include "document/ListFile.h"
#include "document/ListLoader.h"
#include "document/doc/FileKind.h"
#include "view/table/ColumnTable.h"
#include "view/table/FieldList.h"
#include "view/table/ListTable.h"

#include "SamplePages.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include "tests/support/ExportBytes.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A settings store and data folder of the tests' own, so that no developer's settings leak
// into a run.
class CliEnvironment : public QtTestEnvironment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        // The update runs' price history too.
        qputenv("XDG_DATA_HOME", m_config.path().toUtf8());
        QtTestEnvironment::SetUp();
    }

private:
    QTemporaryDir m_config;
};
const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new CliEnvironment);

const QByteArray kBom("\xEF\xBB\xBF");

CliRun cli(const QStringList &arguments)
{
    return RunCli(arguments);
}

QStringList lines(const QString &text)
{
    QStringList result = text.split(u'\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

// The words of a line: the cells of a table row without their padding.
QStringList words(const QString &line)
{
    return line.split(u' ', Qt::SkipEmptyParts);
}

QString message(int id)
{
    return tessera::ResourceString(id);
}

// Three rows with names and prices; update time fixed so that every run shows the same text.
RecordMap sampleRows()
{
    constexpr qint64 kDay = 1765000000; // 2025-12-06, some time of that day
    return MakeRows({ { u"7203"_s, u"2,788.5"_s, u"トヨタ自動車"_s, kDay },
        { u"6758"_s, u"3,397"_s, u"ソニー"_s, kDay }, { u"^DJI"_s, u"43,241.04"_s, u"NYダウ"_s, kDay } });
}

// Code, name and price (right-aligned), sorted by price, highest first.
ColumnLayout byPriceLayout()
{
    return MakeLayout({ { 1, 0, 60 }, { 2, 0, 120 }, { 4, 1, 80 } }, 3, false);
}

class ListCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Every test starts without stored settings.
        QFile::remove(AppSettings::OpenStore()->fileName());
    }

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
    QString sampleList(const QString &name = u"prices.kabu"_s) const
    {
        return write(name, WriteListFile(sampleRows(), byPriceLayout()));
    }
    static void storeSettingsLayout(
        const QString &order, const QString &align, const QString &index, quint32 sort)
    {
        const std::unique_ptr<QSettings> store = AppSettings::OpenStore();
        AppSettings settings;
        settings.Load(*store);
        settings.orderInfo = order;
        settings.columnAlign = align;
        settings.columnIndex = index;
        settings.sortColumn = static_cast<qint32>(sort);
        ASSERT_TRUE(settings.Save(*store));
    }

    QTemporaryDir m_dir;
};

// ---- show

TEST_F(ListCommands, ShowUsesTheLayoutTheFileCarries)
{
    const CliRun run = cli({ u"show"_s, sampleList() });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
        u"コード  銘柄名           現在値\n"
        u"------  ------------  ---------\n"
        u"^DJI    NYダウ        43,241.04\n"
        u"6758    ソニー         3,397   \n"
        u"7203    トヨタ自動車   2,788.5 \n"_s);
    EXPECT_TRUE(run.err.isEmpty());
}

TEST_F(ListCommands, ShowWithoutALayoutUsesTheDefaultOne)
{
    const CliRun run = cli({ u"show"_s,
        write(u"codes.txt"_s, kBom + u"7203,トヨタ自動車\r\n^DJI\r\n1321\r\n6758\r\n"_s.toUtf8()) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_EQ(out.size(), 6);
    QStringList captions;
    for (int field = 1; field < kDefaultShownColumns; ++field)
        captions << ColumnCaption(field);
    EXPECT_EQ(words(out[0]), captions);
    QStringList codes;
    for (int i = 2; i < out.size(); ++i)
        codes << words(out[i]).value(0);
    EXPECT_EQ(codes, (QStringList { u"1321"_s, u"6758"_s, u"7203"_s, u"^DJI"_s })) << "code order";
    EXPECT_EQ(words(out[4]).value(1), u"トヨタ自動車"_s);
}

TEST_F(ListCommands, ShowWithoutALayoutUsesTheStoredSettings)
{
    // Name, then code; sorted on the code column, descending.
    storeSettingsLayout(u"0,1,2,"_s, u"0,0,0,"_s, u"0,2,1,"_s, PackSort(2, false));
    const CliRun run = cli(
        { u"show"_s, write(u"codes.txt"_s, kBom + u"7203,トヨタ自動車\n6758,ソニー\n1321\n"_s.toUtf8()) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_EQ(out.size(), 5);
    EXPECT_EQ(words(out[0]), (QStringList { ColumnCaption(2), ColumnCaption(1) }));
    EXPECT_EQ(words(out[2]), (QStringList { u"トヨタ自動車"_s, u"7203"_s }));
    EXPECT_EQ(words(out[3]), (QStringList { u"ソニー"_s, u"6758"_s }));
    EXPECT_EQ(words(out[4]), (QStringList { u"1321"_s }));
}

TEST_F(ListCommands, TheFilesLayoutWinsOverTheSettings)
{
    storeSettingsLayout(u"0,1,2,"_s, u"0,0,0,"_s, u"0,2,1,"_s, PackSort(2, false));
    const CliRun run = cli({ u"show"_s, sampleList() });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(words(lines(run.out).value(0)),
        (QStringList { ColumnCaption(1), ColumnCaption(2), ColumnCaption(4) }));
}

TEST_F(ListCommands, ALayoutTheHeaderRefusesGivesWayToTheSettings)
{
    storeSettingsLayout(u"0,1,2,"_s, u"0,0,0,"_s, u"0,2,1,"_s, PackSort(2, false));
    ColumnLayout broken = byPriceLayout();
    broken.orderList = u"0,"_s; // nothing but the anchor
    const CliRun run = cli({ u"show"_s, write(u"broken.kabu"_s, WriteListFile(sampleRows(), broken)) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_EQ(out.size(), 5);
    EXPECT_EQ(words(out[0]), (QStringList { ColumnCaption(2), ColumnCaption(1) }));
    EXPECT_EQ(words(out[2]).value(1), u"^DJI"_s) << "sorted on the code, descending, as the settings say";
}

struct ColumnsCase {
    const char *fields;
    std::vector<int> shown;
};

void PrintTo(const ColumnsCase &c, std::ostream *os)
{
    *os << '"' << c.fields << '"';
}

class ShowColumns : public ListCommands, public ::testing::WithParamInterface<ColumnsCase> { };

// The sort stays on the price, highest first, whether or not the price is shown.
TEST_P(ShowColumns, ReplaceTheColumnsAndKeepTheSort)
{
    const ColumnsCase &c = GetParam();
    // The option may follow the list.
    const CliRun run = cli({ u"show"_s, sampleList(), u"--columns"_s, QLatin1String(c.fields) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_EQ(out.size(), 5);
    QStringList captions;
    for (int f : c.shown)
        captions << ColumnCaption(f);
    EXPECT_EQ(words(out[0]), captions);
    const qsizetype codeAt = captions.indexOf(ColumnCaption(FieldCode));
    ASSERT_GE(codeAt, 0);
    QStringList codes;
    for (int i = 2; i < out.size(); ++i)
        codes << words(out[i]).value(codeAt);
    EXPECT_EQ(codes, (QStringList { u"^DJI"_s, u"6758"_s, u"7203"_s }));
}

INSTANTIATE_TEST_SUITE_P(Fields, ShowColumns,
    ::testing::Values(ColumnsCase { "1,2", { 1, 2 } }, ColumnsCase { "4,1", { 4, 1 } },
        ColumnsCase { "1-2", { 1, 2 } }, ColumnsCase { "4,2,1", { 4, 2, 1 } }, ColumnsCase { " 1 ", { 1 } }));

TEST_F(ListCommands, ShowPutsAMemoOnOneLine)
{
    RecordMap rows;
    auto r = std::make_unique<QuoteRecord>(u"7203"_s);
    r->has_holdings = true;
    r->memo = u"line one\r\nline two"_s;
    rows.emplace(u"7203"_s, std::move(r));
    const QString list = write(u"memo.kabu"_s, WriteListFile(rows, byPriceLayout()));
    const CliRun run = cli({ u"show"_s, u"--columns=1,39"_s, list });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out[2], u"  7203  line one<br>line two"_s);
}

TEST_F(ListCommands, ShowAnEmptyListPrintsTheHeader)
{
    const CliRun run
        = cli({ u"show"_s, write(u"empty.kabu"_s, WriteListFile(RecordMap(), byPriceLayout())) });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(lines(run.out).size(), 2);
}

struct UsageCase {
    const char *name;
    QStringList arguments;
};

void PrintTo(const UsageCase &c, std::ostream *os)
{
    *os << c.name;
}

class Usage : public ListCommands, public ::testing::WithParamInterface<UsageCase> { };

TEST_P(Usage, IsRefusedWithStatusTwo)
{
    const CliRun run = cli(GetParam().arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains(u"usage: quotra-cli"_s)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Arguments, Usage,
    ::testing::Values(UsageCase { "show_nothing", { u"show"_s } },
        UsageCase { "show_two_lists", { u"show"_s, u"a.kabu"_s, u"b.kabu"_s } },
        UsageCase { "show_field_0", { u"show"_s, u"--columns"_s, u"0,1"_s, u"a.kabu"_s } },
        UsageCase { "show_field_40", { u"show"_s, u"--columns=1,40"_s, u"a.kabu"_s } },
        UsageCase { "show_field_twice", { u"show"_s, u"--columns=1,2,1"_s, u"a.kabu"_s } },
        UsageCase { "show_backwards", { u"show"_s, u"--columns=5-3"_s, u"a.kabu"_s } },
        UsageCase { "show_no_value", { u"show"_s, u"a.kabu"_s, u"--columns"_s } },
        UsageCase { "show_unknown_option", { u"show"_s, u"--folder=x"_s, u"a.kabu"_s } },
        UsageCase { "export_one_argument", { u"export"_s, u"a.kabu"_s } },
        UsageCase { "update_two_lists", { u"update"_s, u"a.kabu"_s, u"b.kabu"_s } },
        UsageCase { "update_folder_no_value", { u"update"_s, u"a.kabu"_s, u"--folder"_s } }),
    [](const ::testing::TestParamInfo<UsageCase> &info) { return std::string(info.param.name); });

// "COMMAND --help" prints that command's usage on standard output and succeeds, wherever the
// option stands; after "--" it is an argument like any other.
TEST_F(ListCommands, HelpPrintsTheCommandsUsage)
{
    const QStringList commands { u"compare"_s, u"export"_s, u"fetch"_s, u"find"_s, u"ranking"_s,
        u"schedule"_s, u"send"_s, u"show"_s, u"update"_s };
    for (const QString &name : commands) {
        for (const QStringList &rest :
            { QStringList { u"--help"_s }, QStringList { u"a.kabu"_s, u"-h"_s } }) {
            const CliRun run = cli(QStringList { name } + rest);
            EXPECT_EQ(run.status, 0) << name.toStdString() << ": " << run.err.toStdString();
            EXPECT_TRUE(run.out.startsWith(u"usage: quotra-cli "_s + name + u' ')) << run.out.toStdString();
            EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        }
    }
    const CliRun pattern = cli({ u"find"_s, u"--"_s, u"--help"_s });
    EXPECT_EQ(pattern.status, 2) << "a pattern without a list";
    EXPECT_TRUE(pattern.out.isEmpty());
}

TEST_F(ListCommands, VersionPrintsTheProgramsVersion)
{
    const CliRun run = cli({ u"--version"_s });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, u"quotra-cli 6.7.9.21\n"_s);
}

// ---- errors of reading

TEST_F(ListCommands, MissingFileIsTheUnreadableListMessage)
{
    const QString missing = path(u"absent.kabu"_s);
    const CliRun run = cli({ u"show"_s, missing });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith(u"Quotra: "_s + message(2205) + u'\n' + missing + u'\n'))
        << run.err.toStdString();
}

TEST_F(ListCommands, TruncatedListFileFails)
{
    QByteArray data = WriteListFile(sampleRows(), byPriceLayout());
    data.chop(20);
    const QString list = write(u"cut.kabu"_s, data);
    for (const QString &command : { u"show"_s, u"export"_s }) {
        QStringList arguments { command, list };
        if (command == u"export"_s)
            arguments << path(u"out.csv"_s);
        const CliRun run = cli(arguments);
        EXPECT_EQ(run.status, 1) << command.toStdString();
        EXPECT_TRUE(run.err.startsWith(u"Quotra: "_s + message(2205) + u'\n' + list + u"\noffset "_s))
            << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path(u"out.csv"_s)));
}

TEST_F(ListCommands, InvalidCodeInATextListIsMessage2205WithThePath)
{
    const QString list = write(u"codes.txt"_s, "7203\n6758\nToyota\n");
    const CliRun run = cli({ u"show"_s, list });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, u"Quotra: "_s + message(2205) + u'\n' + list + u'\n');
}

// ---- export

TEST_F(ListCommands, ExportCsvByHand)
{
    const QString out = path(u"out.csv"_s);
    const CliRun run = cli({ u"export"_s, u"--columns"_s, u"1,4"_s, sampleList(), out });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(read(out),
        kBom
            + u"#コード,現在値,\r\n"
              u"\"^DJI\",\"43,241.04\",\r\n"
              u"\"6758\",\"3,397\",\r\n"
              u"\"7203\",\"2,788.5\",\r\n"_s.toUtf8());
}

// A workbook written by the export reads back as the same rows and values (in the order of
// the imported list's own layout, which carries no sort).
TEST_F(ListCommands, ExportedWorkbookReadsBackAsTheSameList)
{
    const QString book = path(u"out.xlsx"_s);
    const CliRun written = cli({ u"export"_s, u"--columns"_s, u"1,2,4"_s, sampleList(), book });
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_TRUE(read(book).startsWith("PK\x03\x04"));
    const QString out = path(u"back.csv"_s);
    const CliRun back = cli({ u"export"_s, u"--columns"_s, u"1,2,4"_s, book, out });
    ASSERT_EQ(back.status, 0) << back.err.toStdString();
    const QByteArray csv = read(out);
    ASSERT_TRUE(csv.startsWith(QByteArray(kBom + u"#コード,銘柄名,現在値,\r\n"_s.toUtf8())));
    QStringList lines = QString::fromUtf8(csv).split(u"\r\n"_s, Qt::SkipEmptyParts).mid(1);
    lines.sort();
    EXPECT_EQ(lines,
        QStringList({ u"\"6758\",\"ソニー\",\"3,397\","_s, u"\"7203\",\"トヨタ自動車\",\"2,788.5\","_s,
            u"\"^DJI\",\"NYダウ\",\"43,241.04\","_s }));
}

TEST_F(ListCommands, ExportJsonByHand)
{
    const QString out = path(u"out.json"_s);
    const CliRun run = cli({ u"export"_s, sampleList(), out, u"--columns=2,1"_s });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(read(out),
        kBom
            + u"{\"items\":[{\"name\":\"NYダウ\",\"code\":\"^DJI\"},{\"name\":\"ソニー\",\"code\":\"6758\"},"
              u"{\"name\":\"トヨタ自動車\",\"code\":\"7203\"}],\"count\":3}"_s.toUtf8());
}

struct ExportCase {
    const char *name;
    const char *out;
    const char *fields; // nullptr: the list's own columns
};

void PrintTo(const ExportCase &c, std::ostream *os)
{
    *os << c.name;
}

class ExportFormats : public ListCommands, public ::testing::WithParamInterface<ExportCase> { };

// The same bytes as the program's writers produce from the same table.
TEST_P(ExportFormats, MatchTheWriters)
{
    const ExportCase &c = GetParam();
    const QString list = sampleList();
    const QString out = path(QLatin1String(c.out));
    QStringList arguments { u"export"_s, list, out };
    std::optional<std::vector<int>> fields;
    if (c.fields) {
        arguments << u"--columns"_s << QLatin1String(c.fields);
        fields = ParseFieldList(QString::fromLatin1(c.fields)).value();
    }
    const CliRun run = cli(arguments);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());

    const RecordMap rows = sampleRows();
    const ListTable table = BuildExportTable(rows, byPriceLayout(), fields);
    const QByteArray written = read(out);
    switch (FileKindFromPath(out)) {
    case FileKind::Csv:
        EXPECT_EQ(written, CsvBytes(table));
        break;
    case FileKind::Json:
        EXPECT_EQ(written, JsonBytes(table));
        break;
    default:
        EXPECT_EQ(written, WriteListFile(rows, fields ? table.header().saveLayout() : byPriceLayout()));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, ExportFormats,
    ::testing::Values(ExportCase { "csv", "a.csv", nullptr }, ExportCase { "csv_fields", "b.CSV", "1-39" },
        ExportCase { "json", "a.json", nullptr }, ExportCase { "json_fields", "b.Json", "14,2,1" },
        ExportCase { "kabu", "a.kabu", nullptr }, ExportCase { "kabu_fields", "b.KABU", "2,1" }),
    [](const ::testing::TestParamInfo<ExportCase> &info) { return std::string(info.param.name); });

TEST_F(ListCommands, ListFileRoundTripsByteForByte)
{
    // The golden file's rows with their holdings, colours and layout, as the program stores them.
    auto golden = LoadList(quotra::test::dataPath(u"lists/v20260716.kabu"));
    ASSERT_TRUE(golden.ok());
    const QString full = write(u"full.kabu"_s, WriteListFile(golden->rows, *golden->layout));
    for (const QString &source : { sampleList(), full }) {
        const QString out = path(u"again.kabu"_s);
        const CliRun run = cli({ u"export"_s, source, out });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(read(out), read(source)) << source.toStdString();
    }
}

TEST_F(ListCommands, OlderVersionsAreWrittenAsTheCurrentOne)
{
    for (const char *name : { "v20230601.kabu", "v20260716.kabu" }) {
        const QString source = quotra::test::dataPath(u"lists/") + QLatin1String(name);
        const QString out = path(u"again.kabu"_s);
        const CliRun run = cli({ u"export"_s, source, out });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        auto before = LoadList(source);
        ASSERT_TRUE(before.ok());
        EXPECT_EQ(read(out), WriteListFile(before->rows, *before->layout)) << name;
    }
}

TEST_F(ListCommands, ListWithoutALayoutIsStoredWithTheOneItWasShownWith)
{
    const QString source = quotra::test::dataPath(u"lists/v20130210.kabu");
    const QString out = path(u"new.kabu"_s);
    const CliRun run = cli({ u"export"_s, source, out });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    auto before = LoadList(source);
    ASSERT_TRUE(before.ok());
    ASSERT_FALSE(before->layout.has_value());
    const ColumnLayout shown = BuildExportTable(before->rows, DefaultColumnLayout()).header().saveLayout();
    EXPECT_EQ(read(out), WriteListFile(before->rows, shown));
}

struct RefusedExport {
    const char *name;
    const char *out;
    const char *error; // in the message
};

void PrintTo(const RefusedExport &c, std::ostream *os)
{
    *os << c.name;
}

class ExportRefused : public ListCommands, public ::testing::WithParamInterface<RefusedExport> { };

TEST_P(ExportRefused, FailsWithoutWriting)
{
    const RefusedExport &c = GetParam();
    const QString out = path(QLatin1String(c.out));
    const CliRun run = cli({ u"export"_s, sampleList(), out });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith(u"Quotra: "_s)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String(c.error))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Outputs, ExportRefused,
    ::testing::Values(RefusedExport { "xls", "a.XLS", "unknown output format" },
        RefusedExport { "txt", "a.txt", "unknown output format" },
        RefusedExport { "no_extension", "out", "unknown output format" },
        RefusedExport { "missing_folder", "none/a.csv", "none/a.csv" }),
    [](const ::testing::TestParamInfo<RefusedExport> &info) { return std::string(info.param.name); });

TEST_F(ListCommands, EmptyListIsNotExported)
{
    const QString list = write(u"empty.kabu"_s, WriteListFile(RecordMap(), byPriceLayout()));
    for (const char *name : { "e.kabu", "e.csv", "e.json" }) {
        const QString out = path(QLatin1String(name));
        const CliRun run = cli({ u"export"_s, list, out });
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err, u"Quotra: "_s + out + u": the list has no rows to export\n"_s);
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_F(ListCommands, FailedExportKeepsThePreviousFile)
{
    const QString out = write(u"out.csv"_s, "previous export");
    const CliRun run
        = cli({ u"export"_s, write(u"empty.kabu"_s, WriteListFile(RecordMap(), byPriceLayout())), out });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(read(out), QByteArray("previous export"));
}

// ---- update

class UpdateCommand : public ListCommands {
protected:
    void SetUp() override
    {
        ListCommands::SetUp();
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"out"_s));
    }
    QString outFolder() const { return path(u"out"_s); }
    QStringList outFiles() const { return QDir(outFolder()).entryList(QDir::Files); }

    // "rows N, fetched N, failed N, changed N, seconds S, saved PATH"
    struct Summary {
        int rows = -1, fetched = -1, failed = -1, changed = -1;
        QString saved;
    };
    static Summary summary(const QString &out)
    {
        static const QRegularExpression line(
            u"^rows (\\d+), fetched (\\d+), failed (\\d+), changed (\\d+), seconds \\d+\\.\\d\\d, saved (.+)\n$"_s);
        const QRegularExpressionMatch m = line.match(out);
        Summary s;
        if (!m.hasMatch()) {
            ADD_FAILURE() << "not a summary: " << out.toStdString();
            return s;
        }
        s.rows = m.captured(1).toInt();
        s.fetched = m.captured(2).toInt();
        s.failed = m.captured(3).toInt();
        s.changed = m.captured(4).toInt();
        s.saved = m.captured(5);
        return s;
    }
    // The one file in the out folder, named `stem` + the local time of the save + `ext`.
    QString stamped(const QString &stem, const QString &ext, const QDateTime &from, const QDateTime &to) const
    {
        const QStringList files = outFiles();
        if (files.size() != 1) {
            ADD_FAILURE() << "expected one file, got " << files.join(u' ').toStdString();
            return {};
        }
        const QString a = stem + from.toString(u"MMddHHmm"_s) + ext;
        const QString b = stem + to.toString(u"MMddHHmm"_s) + ext;
        EXPECT_TRUE(files[0] == a || files[0] == b) << files[0].toStdString();
        return QDir(outFolder()).filePath(files[0]);
    }

    SampleSite site;
};

TEST_F(UpdateCommand, UpdatesEveryRowIntoTheFolderAndCountsAFailure)
{
    ASSERT_TRUE(site.start({ u"--fail-404"_s, u"AAPL"_s }));
    const QByteArray text("7203\n6758\nAAPL\n^DJI\n0331418A\n");
    const QString list = write(u"mine.txt"_s, text);
    const QDateTime from = QDateTime::currentDateTime();
    const CliRun run = cli({ u"update"_s, u"--folder"_s, outFolder(), list });
    const QDateTime to = QDateTime::currentDateTime();
    ASSERT_EQ(run.status, 0) << run.err.toStdString();

    const QString saved = stamped(u"mine"_s, u".kabu"_s, from, to);
    const Summary s = summary(run.out);
    EXPECT_EQ(s.rows, 5);
    EXPECT_EQ(s.fetched, 4);
    EXPECT_EQ(s.failed, 1);
    EXPECT_EQ(s.changed, 4);
    EXPECT_EQ(s.saved, saved);
    EXPECT_TRUE(run.err.contains(u"quotra-cli: AAPL: failed: HTTP status 404\n"_s)) << run.err.toStdString();
    EXPECT_EQ(read(list), text) << "the list that was opened stays as it was";

    auto result = LoadList(saved);
    ASSERT_TRUE(result.ok()) << result.error().message.toStdString();
    ASSERT_EQ(result->rows.size(), 5u);
    // The failure text itself is not stored: a list file never keeps the last update's status.
    EXPECT_TRUE(result->rows.at(u"AAPL"_s)->values[SlotName].isEmpty());
    EXPECT_TRUE(result->rows.at(u"AAPL"_s)->values[SlotPrice].isEmpty());
    for (const QString &code : { u"7203"_s, u"6758"_s, u"^DJI"_s, u"0331418A"_s }) {
        const QuoteRecord &r = *result->rows.at(code);
        EXPECT_EQ(
            QStringView(r.values[SlotName]).toString(), samplesite::QuoteValues(code, 0)->values[SlotName])
            << code.toStdString();
        EXPECT_FALSE(r.values[SlotPrice].isEmpty());
        EXPECT_TRUE(r.values[SlotStatus].isEmpty());
    }
    EXPECT_TRUE(result->layout.has_value()) << "a list file carries the layout it was shown with";
}

TEST_F(UpdateCommand, ShowReadsTheSavedList)
{
    ASSERT_TRUE(site.start());
    const QString list = sampleList();
    const CliRun run = cli({ u"update"_s, list, u"--folder"_s, outFolder() });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const Summary s = summary(run.out);
    EXPECT_EQ(s.failed, 0);
    const CliRun shown = cli({ u"show"_s, s.saved });
    ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
    const QStringList out = lines(shown.out);
    ASSERT_EQ(out.size(), 5);
    EXPECT_EQ(words(out[0]), (QStringList { ColumnCaption(1), ColumnCaption(2), ColumnCaption(4) }));
    EXPECT_EQ(words(out[2]).value(1), samplesite::QuoteValues(u"^DJI"_s, 0)->values[SlotName]);
}

TEST_F(UpdateCommand, CsvStaysCsvWithTheFailureInTheStatusColumn)
{
    ASSERT_TRUE(site.start({ u"--fail-500"_s, u"6758"_s }));
    const QString list = write(u"codes.csv"_s, "7203\r\n6758\r\n");
    const QDateTime from = QDateTime::currentDateTime();
    const CliRun run = cli({ u"update"_s, u"--folder="_s + outFolder(), list });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(summary(run.out).failed, 1);
    EXPECT_TRUE(run.err.contains(u"quotra-cli: 6758: failed: HTTP status 500\n"_s)) << run.err.toStdString();
    const QString saved = stamped(u"codes"_s, u".csv"_s, from, QDateTime::currentDateTime());
    const QByteArray bytes = read(saved);
    EXPECT_TRUE(bytes.startsWith(kBom));
    const QStringList csv = QString::fromUtf8(bytes.mid(kBom.size())).split(u"\r\n"_s);
    ASSERT_EQ(csv.size(), 4) << "header, two rows, nothing after the last line end";
    EXPECT_TRUE(csv[0].startsWith(u"#コード,銘柄名,"_s)) << csv[0].toStdString();
    // Default layout, rows in code order: 6758 failed, 7203 was fetched.
    EXPECT_TRUE(csv[1].startsWith(u"\"6758\",\"\","_s)) << csv[1].toStdString();
    EXPECT_TRUE(csv[1].contains(u"\""_s + QString::fromUtf16(kFetchErrorText) + u"\","_s));
    EXPECT_TRUE(csv[2].startsWith(u"\"7203\",\""_s + samplesite::QuoteValues(u"7203"_s, 0)->values[SlotName]))
        << csv[2].toStdString();
    EXPECT_TRUE(csv[3].isEmpty());
    EXPECT_EQ(read(list), QByteArray("7203\r\n6758\r\n"));
}

TEST_F(UpdateCommand, JsonOpenedIsSavedAsAListFile)
{
    ASSERT_TRUE(site.start());
    const QString list = sampleList(u"prices.json"_s);
    const QDateTime from = QDateTime::currentDateTime();
    const CliRun run = cli({ u"update"_s, u"--folder"_s, outFolder(), list });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QString saved = stamped(u"prices"_s, u".kabu"_s, from, QDateTime::currentDateTime());
    auto result = LoadList(saved);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->rows.size(), 3u);
}

TEST_F(UpdateCommand, WithoutAFolderTheListIsSavedInPlace)
{
    ASSERT_TRUE(site.start());
    const QString list = sampleList();
    const CliRun run = cli({ u"update"_s, list });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(summary(run.out).saved, list);
    auto result = LoadList(list);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(QStringView(result->rows.at(u"7203"_s)->values[SlotName]).toString(),
        samplesite::QuoteValues(u"7203"_s, 0)->values[SlotName]);
    EXPECT_EQ(*result->layout, byPriceLayout()) << "the layout part survives the update";
}

TEST_F(UpdateCommand, AMissingFolderIsAnErrorAndNothingIsSaved)
{
    ASSERT_TRUE(site.start());
    const QString list = write(u"codes.txt"_s, "7203\n");
    const CliRun run = cli({ u"update"_s, u"--folder"_s, path(u"absent"_s), list });
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(u"does not exist"_s)) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(u"codes.kabu"_s)));
    EXPECT_FALSE(QFileInfo::exists(path(u"absent"_s)));
    EXPECT_EQ(read(list), QByteArray("7203\n"));
}

TEST_F(UpdateCommand, WorkbookOutputWritesAWorkbookAndLeavesTheList)
{
    const QString list = sampleList();
    const QByteArray before = read(list);
    const CliRun run = cli({ u"update"_s, u"--xlsx"_s, u"--folder"_s, outFolder(), list });
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList files = outFiles();
    ASSERT_EQ(files.size(), 1) << files.join(u' ').toStdString();
    EXPECT_TRUE(files.first().endsWith(u".xlsx"_s)) << files.first().toStdString();
    EXPECT_TRUE(read(QDir(outFolder()).filePath(files.first())).startsWith("PK\x03\x04"));
    EXPECT_EQ(read(list), before);
}

TEST_F(UpdateCommand, AListThatFailsToLoadIsLeftAlone)
{
    QByteArray data = WriteListFile(sampleRows(), byPriceLayout());
    data.chop(3);
    const QString list = write(u"cut.kabu"_s, data);
    const QString text = write(u"bad.txt"_s, "7203\nnot a code\n");
    for (const QString &file : { list, text }) {
        const QByteArray before = read(file);
        const CliRun run = cli({ u"update"_s, file });
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.startsWith(u"Quotra: "_s + message(2205) + u'\n' + file))
            << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(read(file), before);
    }
    EXPECT_FALSE(QFile::exists(path(u"bad.kabu"_s)));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 2);
}

} // namespace
