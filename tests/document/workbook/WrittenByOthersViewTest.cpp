// Workbooks we write, read back by another program (openpyxl, through
// tests/data/workbooks/check_written.py) the way a spreadsheet sees them: cell types and
// values, number formats, alignments, links, sheet names and captions. The checker holds
// its own expectations for the list built here; the two must change together.
#include "document/workbook/CodeMap.h"
#include "document/workbook/CompareWorkbook.h"
#include "document/workbook/WorkbookExport.h"
#include "document/workbook/XlsxPacking.h"
#include "quotes/QuoteRecord.h"
#include "view/table/ListTable.h"

#include "tests/support/QtTestEnvironment.h"
#include "tests/support/RowBuilders.h"
#include "tests/support/TestPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iostream>

using namespace Qt::StringLiterals;

namespace {

const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

constexpr char kSiteRoot[] = "http://127.0.0.1:8765/site/";

qint64 localSeconds(int y, int m, int d, int hh = 0, int mm = 0)
{
    return QDateTime(QDate(y, m, d), QTime(hh, mm)).toSecsSinceEpoch();
}

struct Values {
    const char16_t *code;
    char16_t suffix;
    const char16_t *name;
    const char16_t *market;
    const char16_t *price, *difference, *ratio, *volume, *dividend, *yield;
    const char16_t *status, *per, *zensyu1, *sinyouritu;
    qint64 datetime;
};

std::unique_ptr<QuoteRecord> makeRecord(const Values &v)
{
    auto r = std::make_unique<QuoteRecord>(QString::fromUtf16(v.code));
    r->exchange_suffix = v.suffix;
    r->values.set(SlotName, QString::fromUtf16(v.name));
    r->values.set(SlotMarket, QString::fromUtf16(v.market));
    const std::pair<int, const char16_t *> slots[] = { { FieldPrice, v.price },
        { FieldDifference, v.difference }, { FieldRatio, v.ratio }, { FieldVolume, v.volume },
        { FieldDividend, v.dividend }, { FieldYield, v.yield }, { FieldStatus, v.status },
        { FieldPer, v.per }, { FieldMarginBuyChange, v.zensyu1 }, { FieldMarginRatio, v.sinyouritu } };
    for (const auto &[field, text] : slots)
        r->values.set(static_cast<size_t>(SlotOfField(field)), QString::fromUtf16(text));
    r->datetime = v.datetime;
    return r;
}

void holding(QuoteRecord &r, qint64 buyday, double amount, double shares, double loss, const QString &memo)
{
    r.has_holdings = true;
    r.buyday = buyday;
    r.amount = amount;
    r.shares = shares;
    r.loss = loss;
    r.memo = memo;
}

// Domestic stocks (one held, one with a name longer than a sheet name, one ending in "*",
// two of the same name, one whose quote failed), an index of each kind and a held foreign
// stock: numbers grouped and signed, "---", percentages, dates.
std::vector<std::unique_ptr<QuoteRecord>> watchList()
{
    const qint64 close = localSeconds(2026, 7, 16, 15, 0);
    std::vector<std::unique_ptr<QuoteRecord>> list;
    list.push_back(makeRecord({ u"7203", u'T', u"トヨタ自動車", u"東証PRM", u"3,000", u"-45.5", u"-1.49%",
        u"12,345,600", u"---", u"2.50", u"更新済", u"10.25", u"-1,200", u"3.21", close }));
    holding(*list.back(), localSeconds(2025, 4, 1), 300000, 100, -12345, u"配当狙い"_s);
    list.push_back(makeRecord({ u"6758", u'T',
        u"ソニーグループ株式会社（エンタテインメント・テクノロジー＆サービス）", u"東証PRM", u"13,000",
        u"+250", u"+1.96%", u"3,210,000", u"100", u"0.77", u"更新済", u"---", u"+1,500", u"---", close }));
    list.push_back(makeRecord({ u"7201", u'T', u"トヨタ自動車", u"東証STD", u"450.5", u"0", u"0.00%", u"0",
        u"20.00", u"4.44", u"更新済", u"8.00", u"0", u"1.00", close }));
    list.push_back(
        makeRecord({ u"7974", u'T', u"任天堂 *", u"東証PRM", u"---", u"---", u"---", u"---", u"---", u"---",
            u"ERROR:情報の取得に失敗しました", u"---", u"---", u"---", localSeconds(2026, 7, 15, 9, 30) }));
    list.push_back(makeRecord({ u"998407.O", u'T', u"日経平均株価", u"", u"38,123.45", u"+120.5", u"+0.32%",
        u"---", u"---", u"---", u"更新済", u"---", u"---", u"---", close }));
    list.push_back(makeRecord({ u"^DJI", 0, u"NYダウ", u"", u"40,001.12", u"-1,234.56", u"-2.99%", u"---",
        u"---", u"---", u"更新済", u"---", u"---", u"---", localSeconds(2026, 7, 16, 6, 5) }));
    list.push_back(makeRecord({ u"AAPL", 0, u"Apple Inc.", u"NASDAQ", u"187.44", u"+1.20", u"+0.64%",
        u"55,123,456", u"0.96", u"0.51", u"更新済", u"29.10", u"---", u"---", close }));
    holding(*list.back(), localSeconds(2024, 1, 5), 27000, 150, 1116, u"NISA"_s);
    return list;
}

// The exported columns with their list alignments: the default ones where they are
// usual, others changed so that the file has to follow the list rather than the defaults.
ColumnLayout exportLayout()
{
    return MakeLayout(
        { { FieldCode, 1, 50 }, { FieldName, 2, 200 }, { FieldMarket, 2, 80 }, { FieldPrice, 1, 80 },
            { FieldDifference, 1, 80 }, { FieldRatio, 1, 80 }, { FieldVolume, 1, 90 },
            { FieldDividend, 1, 80 }, { FieldYield, 1, 80 }, { FieldDatetime, 0, 100 },
            { FieldStatus, 0, 100 }, { FieldPer, 2, 80 }, { FieldMarginBuyChange, 1, 80 },
            { FieldMarginRatio, 1, 80 }, { FieldBuyday, 0, 80 }, { FieldAmount, 1, 80 },
            { FieldShares, 1, 80 }, { FieldLoss, 1, 80 }, { FieldMemo, 0, 80 } },
        0, true);
}

// The general-purpose flags of every entry of a ZIP file, from its central directory (the
// end record is the last 22 bytes: our files carry no comment). Empty when it cannot be read.
std::vector<quint16> zipEntryFlags(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = f.readAll();
    const auto u16 = [&](qsizetype at) { return quint16(quint8(zip[at]) | quint8(zip[at + 1]) << 8); };
    const auto u32 = [&](qsizetype at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    const qsizetype end = zip.size() - 22;
    if (end < 0 || !zip.mid(end, 4).startsWith("PK\x05\x06"))
        return {};
    std::vector<quint16> flags;
    qsizetype at = u32(end + 16);
    for (int entry = 0; entry < u16(end + 10); ++entry) {
        if (at + 46 > end || zip.mid(at, 4) != QByteArrayView("PK\x01\x02"))
            return {};
        if (u16(at + 10) != 8) // not deflated
            return {};
        flags.push_back(u16(at + 8));
        at += 46 + u16(at + 28) + u16(at + 30) + u16(at + 32);
    }
    return flags;
}

class WrittenWorkbooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_hadRoot = qEnvironmentVariableIsSet("QUOTRA_SITE_ROOT");
        m_oldRoot = qgetenv("QUOTRA_SITE_ROOT");
        qputenv("QUOTRA_SITE_ROOT", kSiteRoot);
        for (auto &r : watchList()) {
            const QString code = r->code;
            m_rows.emplace(code, std::move(r));
        }
        const ColumnLayout layout = exportLayout();
        m_table.refresh(m_rows, &layout);
    }
    void TearDown() override
    {
        if (m_hadRoot)
            qputenv("QUOTRA_SITE_ROOT", m_oldRoot);
        else
            qunsetenv("QUOTRA_SITE_ROOT");
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The lists of two days: every row as it was on the 15th, and on the 16th the rows
    // that changed (Toyota renamed, with new prices; Apple with a new price).
    CodeMap twoDays() const
    {
        std::vector<std::unique_ptr<QuoteRecord>> records;
        for (const auto &[code, record] : m_rows) {
            auto older = std::make_unique<QuoteRecord>(*record);
            if (older->datetime == localSeconds(2026, 7, 16, 15, 0))
                older->datetime = localSeconds(2026, 7, 15, 15, 0);
            records.push_back(std::move(older));
        }
        auto toyota = std::make_unique<QuoteRecord>(*m_rows.at(u"7203"_s));
        toyota->values.set(SlotName, u"トヨタ自動車(株)"_s);
        toyota->values.set(SlotPrice, u"3,055.5"_s);
        toyota->values.set(SlotOfField(FieldDifference), u"+55.5"_s);
        toyota->values.set(SlotOfField(FieldRatio), u"+1.85%"_s);
        records.push_back(std::move(toyota));
        auto apple = std::make_unique<QuoteRecord>(*m_rows.at(u"AAPL"_s));
        apple->values.set(SlotPrice, u"1,001.5"_s);
        records.push_back(std::move(apple));
        return BuildCodeMap(std::move(records));
    }

    struct CheckerRun {
        bool finished = false;
        int exitCode = -1;
        QString output;
    };
    // Runs the checker on the files, with the site root and the texts it compares against.
    static CheckerRun runChecker(const QStringList &arguments)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        QStringList args { quotra::test::dataPath(u"workbooks/check_written.py"), u"--site-root"_s,
            QString::fromLatin1(kSiteRoot), u"--strings"_s,
            quotra::test::dataPath(u"../../lang/ja/strings.txt") };
        args << arguments;
        p.start(u"/usr/bin/python3"_s, args);
        CheckerRun run;
        run.finished = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
        run.exitCode = p.exitCode();
        run.output = QString::fromUtf8(p.readAll());
        return run;
    }
    // The checker's complaints become the test's failure message.
    static void check(const QStringList &arguments)
    {
        const CheckerRun run = runChecker(arguments);
        ASSERT_TRUE(run.finished) << "the checker did not finish";
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    }

    QTemporaryDir m_dir;
    RecordMap m_rows;
    ListTable m_table;
    bool m_hadRoot = false;
    QByteArray m_oldRoot;
};

TEST_F(WrittenWorkbooks, TableExportAsASpreadsheetSeesIt)
{
    WorkbookExportOptions options;
    options.sheetTitle = u"ウォッチリスト2026年7月 **"_s;
    const QString file = path(u"table.xlsx"_s);
    ASSERT_TRUE(ExportWorkbook(file, m_table, options));
    check({ u"table"_s, file });
}

TEST_F(WrittenWorkbooks, ComparisonAcrossAsASpreadsheetSeesIt)
{
    CompareOptions options;
    options.columns = CompareColumnsOf(m_table);
    options.arrangement = CompareArrangement::Across;
    const QString file = path(u"across.xlsx"_s);
    ASSERT_TRUE(WriteComparisonWorkbook(file, twoDays(), options));
    check({ u"across"_s, file });
}

TEST_F(WrittenWorkbooks, ComparisonDownAsASpreadsheetSeesIt)
{
    CompareOptions options;
    options.columns = CompareColumnsOf(m_table);
    options.arrangement = CompareArrangement::Down;
    const QString file = path(u"down.xlsx"_s);
    ASSERT_TRUE(WriteComparisonWorkbook(file, twoDays(), options));
    check({ u"down"_s, file });
}

// Workbooks are packed at zlib's fastest level, which the writer marks in each entry's flags
// (bits 1 and 2 both set), where the linked library packs through the shared minizip; one
// with a minizip of its own packs at its default level (both clear). Either way the workbook
// is written; the test says which the build found and checks that the wrapper agreed.
TEST_F(WrittenWorkbooks, PartsArePackedAtTheLevelTheBuildFound)
{
    static_assert(kXlsxPackingLevel == 1, "the flags below are those of level 1");
    const QString file = path(u"packed.xlsx"_s);
    const long before = XlsxPackingCalls();
    ASSERT_TRUE(ExportWorkbook(file, m_table));
    const bool reached = XlsxPackingCalls() > before;
    std::cout << (XlsxPackingWrapped()
            ? "the workbook library packs through the shared minizip: parts at level 1"
            : "the workbook library packs with its own minizip: parts at its own level")
              << std::endl;
    RecordProperty("packing", XlsxPackingWrapped() ? "wrapped, level 1" : "library's own level");
    EXPECT_EQ(reached, XlsxPackingWrapped()) << "the build and the written workbook disagree";
    const std::vector<quint16> flags = zipEntryFlags(file);
    ASSERT_GE(flags.size(), 8U) << "the parts of the workbook";
    for (quint16 f : flags)
        EXPECT_EQ(f & 6, reached ? 6 : 0) << "flags " << f;
}

// The checker must be able to fail: a workbook whose cells all went to text is refused.
TEST_F(WrittenWorkbooks, CheckerRefusesAWrongWorkbook)
{
    CompareOptions options;
    options.columns = CompareColumnsOf(m_table);
    options.arrangement = CompareArrangement::Down;
    const QString file = path(u"down.xlsx"_s);
    ASSERT_TRUE(WriteComparisonWorkbook(file, twoDays(), options));
    const CheckerRun run = runChecker({ u"across"_s, file });
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.output.contains(u"FAIL"_s)) << "the checker names what is wrong";
}

} // namespace
