// quotra-cli history: import of saved lists, the printed points and their failures, and the
// update run that adds to the history.
#include "tests/support/SampleSite.h"

#include "document/ListFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/RowBuilders.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

CliRun history(const QStringList &arguments)
{
    return RunCli(QStringList { u"history"_s } + arguments);
}

constexpr qint64 kFirst = 1'765'000'000;

class HistoryCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("QUOTRA_HISTORY", file().toUtf8());
    }
    void TearDown() override { qunsetenv("QUOTRA_HISTORY"); }
    QString file() const { return m_dir.filePath(u"history.sqlite"_s); }
    QString saves() const { return m_dir.filePath(u"out"_s); }
    void save(const QString &name, const RecordMap &rows) const
    {
        QDir().mkpath(saves());
        QFile f(QDir(saves()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(WriteListFile(rows, MakeLayout({ { 4, 1, 80 } }, 0, true)));
    }
    void importTwoSaves()
    {
        save(u"mine12091400.kabu"_s,
            MakeRows({ { u"7203"_s, u"2,345.5"_s, {}, kFirst }, { u"6758"_s, u"13,000"_s, {}, kFirst } }));
        save(u"mine12091405.kabu"_s,
            MakeRows(
                { { u"7203"_s, u"2,350"_s, {}, kFirst + 300 }, { u"6758"_s, u"---"_s, {}, kFirst + 300 } }));
        const CliRun run = history({ u"import"_s, saves() });
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.endsWith(u"files 2, points 3, added 3\n"_s)) << run.out.toStdString();
    }

    QTemporaryDir m_dir;
};

TEST_F(HistoryCommand, ImportedListsPrintOldestFirstAndImportAgainAddsNothing)
{
    importTwoSaves();
    const CliRun again = history({ u"import"_s, saves() });
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.out.endsWith(u"files 2, points 3, added 0\n"_s)) << again.out.toStdString();

    const CliRun csv = history({ u"--csv"_s, u"7203"_s, u"6758"_s });
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    EXPECT_EQ(csv.out,
        u"code,time,price,change,ratio,volume,turnover,open,high,low,year_high,year_low\n"
        "7203,1765000000,2345.5,,,,,,,,,\n"
        "6758,1765000000,13000,,,,,,,,,\n"
        "7203,1765000300,2350,,,,,,,,,\n"_s);

    const CliRun json = history({ u"6758"_s, u"--json"_s });
    ASSERT_EQ(json.status, 0) << json.err.toStdString();
    EXPECT_EQ(json.out,
        u"[\n  {\"code\": \"6758\", \"time\": 1765000000, \"price\": 13000, \"change\": null, \"ratio\": "
        u"null, "
        "\"volume\": null, \"turnover\": null, \"open\": null, \"high\": null, \"low\": null, \"year_high\": "
        "null, "
        "\"year_low\": null}\n]\n"_s);

    // The day of the second save, in local time: only its point is in the range.
    const QString day = QDateTime::fromSecsSinceEpoch(kFirst + 300).date().toString(u"yyyy-MM-dd"_s);
    const CliRun table = history({ u"--since"_s, day, u"--until"_s, day, u"7203"_s });
    ASSERT_EQ(table.status, 0) << table.err.toStdString();
    EXPECT_TRUE(table.out.startsWith(u"code"_s)) << table.out.toStdString();
    EXPECT_TRUE(table.out.contains(u"2350"_s));
    if (QDateTime::fromSecsSinceEpoch(kFirst).date().toString(u"yyyy-MM-dd"_s) != day) {
        EXPECT_FALSE(table.out.contains(u"2345.5"_s));
    }

    const CliRun stats = history({ u"stats"_s });
    ASSERT_EQ(stats.status, 0) << stats.err.toStdString();
    EXPECT_TRUE(stats.out.startsWith(u"file "_s + file() + u"\ncodes 2\npoints 3\nbytes "_s))
        << stats.out.toStdString();
}

struct Refusal {
    const char *name;
    QStringList arguments;
    int status;
    QString message;
};

class HistoryRefusal : public HistoryCommand, public ::testing::WithParamInterface<Refusal> { };

TEST_P(HistoryRefusal, SaysWhyOnStandardErrorAndPrintsNothing)
{
    importTwoSaves();
    const CliRun run = history(GetParam().arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith(u"quotra-cli: "_s + GetParam().message)) << run.err.toStdString();
    EXPECT_EQ(run.out.contains(u"7203"_s), false) << run.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Arguments, HistoryRefusal,
    ::testing::Values(
        Refusal { "unknown_option", { u"--chart"_s, u"7203"_s }, 2, u"unknown option --chart"_s },
        Refusal { "bad_day", { u"--since"_s, u"2026-13-01"_s, u"7203"_s }, 2,
            u"--since: 2026-13-01 is not a day (YYYY-MM-DD)"_s },
        Refusal { "bad_until", { u"--until=9.12.2026"_s, u"7203"_s }, 2,
            u"--until: 9.12.2026 is not a day (YYYY-MM-DD)"_s },
        Refusal { "no_code", { u"--csv"_s }, 2, u"no code given"_s },
        Refusal { "not_a_code", { u"toyota"_s }, 2, u"toyota is not a security code"_s },
        Refusal { "both_formats", { u"--csv"_s, u"--json"_s, u"7203"_s }, 2,
            u"--json and --csv exclude each other"_s },
        Refusal { "missing_code", { u"9984"_s }, 1, u"9984: no points stored in that range"_s },
        Refusal {
            "stats_options", { u"stats"_s, u"--csv"_s }, 2, u"the options belong to printing points"_s },
        Refusal { "import_nothing", { u"import"_s }, 2, u"no file or folder given"_s }),
    [](const ::testing::TestParamInfo<Refusal> &info) { return std::string(info.param.name); });

TEST_F(HistoryCommand, WithoutAHistoryFileNothingIsCreated)
{
    const CliRun run = history({ u"7203"_s });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(file() + u": no history has been kept yet"_s)) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file()));
}

// The unattended run stores what it fetched; a failed fetch adds nothing.
TEST_F(HistoryCommand, UpdateAddsEachFetchedCodeToTheHistory)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--fail-404"_s, u"AAPL"_s }));
    const QString list = m_dir.filePath(u"mine.txt"_s);
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("7203\nAAPL\n^DJI\n");
    }
    QByteArray out;
    QByteArray err;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, { u"update"_s, list }, out, &err), 0) << err.toStdString();
    EXPECT_FALSE(err.contains("history")) << err.toStdString();
    const CliRun stats = history({ u"stats"_s });
    ASSERT_EQ(stats.status, 0) << stats.err.toStdString();
    EXPECT_TRUE(stats.out.contains(u"\ncodes 2\npoints 2\n"_s)) << stats.out.toStdString();
    EXPECT_EQ(history({ u"AAPL"_s }).status, 1);
}

} // namespace
