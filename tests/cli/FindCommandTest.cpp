// quotra-cli find in the three engine states, run as a child process.
#include "document/ListFile.h"

#include "tests/support/RowBuilders.h"
#include "tests/support/SampleSite.h"
#include "tests/support/TestPaths.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct FindRun {
    int status = -1;
    QString out;
    QString err;
};

class FindCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_list = m_dir.filePath(u"find.kabu"_s);
        QFile f(m_list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        RecordMap rows = MakeRows({ { u"7203"_s, u"2,788.5"_s, u"トヨタ自動車"_s },
            { u"7267"_s, u"1,500"_s, u"Honda Motor"_s }, { u"6758"_s, u"3,397"_s, u"ソニー"_s } });
        rows.find(u"6758"_s)->second->values.set(SlotMarket, u"motor hidden"_s);
        f.write(WriteListFile(rows, MakeLayout({ { 1, 0, 60 }, { 2, 0, 120 }, { 4, 1, 80 } }, 1, true)));
    }
    void TearDown() override { qunsetenv("QUOTRA_ENGINE_DIR"); }

    FindRun find(const char *engines, QStringList arguments)
    {
        if (engines)
            qputenv("QUOTRA_ENGINE_DIR", engines);
        else
            qunsetenv("QUOTRA_ENGINE_DIR");
        QByteArray out;
        QByteArray err;
        FindRun run;
        run.status = RunProgram(
            u"quotra-cli"_s, QStringList { u"find"_s } + arguments + QStringList { m_list }, out, &err);
        run.out = QString::fromUtf8(out);
        run.err = QString::fromUtf8(err);
        return run;
    }

    QTemporaryDir m_dir;
    QString m_list;
};

} // namespace

TEST_F(FindCommand, PlainSearchWithoutEngines)
{
    const FindRun run = find(quotra::test::engineSet(u"none").constData(), { u"motor"_s });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, u"7267\n"_s); // the market of 6758 is not shown
    EXPECT_EQ(find(quotra::test::engineSet(u"none").constData(), { u"--case"_s, u"motor"_s }).status, 1);
    // Without the module the regular option is a plain search for the text itself.
    EXPECT_EQ(find(quotra::test::engineSet(u"none").constData(), { u"--regex"_s, u"^7"_s }).status, 1);
}

TEST_F(FindCommand, HiddenFieldIsSearchedOnlyWhenShown)
{
    const FindRun run
        = find(quotra::test::engineSet(u"none").constData(), { u"--columns"_s, u"1,3"_s, u"hidden"_s });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, u"6758\n"_s);
}

TEST_F(FindCommand, RegularExpressionsAndRefusedPatterns)
{
    const FindRun run = find(quotra::test::engineSet(u"regex-only").constData(), { u"--regex"_s, u"^72"_s });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, u"7203\n7267\n"_s);
    const FindRun refused
        = find(quotra::test::engineSet(u"regex-only").constData(), { u"--regex"_s, u"(72"_s });
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains(u"offset"_s)) << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty());
    // Fuzzy asked for without its module: the plain search.
    EXPECT_EQ(
        find(quotra::test::engineSet(u"regex-only").constData(), { u"--fuzzy"_s, u"とよた"_s }).status, 1);
}

TEST_F(FindCommand, FuzzyFindsKanaAndWidthVariants)
{
    const FindRun run = find(nullptr, { u"--fuzzy"_s, u"とよた"_s }); // beside the program
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, u"7203\n"_s);
    EXPECT_EQ(find(nullptr, { u"--fuzzy"_s, u"ＨＯＮＤＡ"_s }).out, u"7267\n"_s);
    EXPECT_EQ(find(nullptr, { u"--fuzzy"_s, u"--case"_s, u"ＨＯＮＤＡ"_s }).status, 1);
}

TEST_F(FindCommand, UnreadableListAndBadArguments)
{
    m_list = m_dir.filePath(u"missing.kabu"_s);
    EXPECT_EQ(find(quotra::test::engineSet(u"none").constData(), { u"x"_s }).status, 2);
    EXPECT_EQ(find(quotra::test::engineSet(u"none").constData(), {}).status, 2);
}

TEST_F(FindCommand, RegularExpressionsWithoutMatchCaseKeepTheirEscapes)
{
    const FindRun digits
        = find(quotra::test::engineSet(u"regex-only").constData(), { u"--regex"_s, u"^\\d{4}$"_s });
    EXPECT_EQ(digits.status, 0);
    EXPECT_EQ(digits.out, u"6758\n7203\n7267\n"_s);
    EXPECT_EQ(find(quotra::test::engineSet(u"regex-only").constData(),
                  { u"--regex"_s, u"--columns"_s, u"1"_s, u"^\\D+$"_s })
                  .status,
        1);
    EXPECT_EQ(find(nullptr, { u"--regex"_s, u"HONDA\\s\\w+"_s }).out, u"7267\n"_s);
}

TEST_F(FindCommand, EngineLimitStopsTheSearchAndSaysSo)
{
    QFile f(m_list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // The first row ends at the engine's limit; the second would match.
    RecordMap rows
        = MakeRows({ { u"1001"_s, u"10"_s, QString(40, u'a') + u'!' }, { u"1002"_s, u"20"_s, u"aaa"_s } });
    f.write(WriteListFile(rows, MakeLayout({ { 1, 0, 60 }, { 2, 0, 120 } }, 1, true)));
    f.close();
    const FindRun run
        = find(quotra::test::engineSet(u"regex-only").constData(), { u"--regex"_s, u"^(a+)+$"_s });
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(u"^(a+)+$"_s)) << run.err.toStdString();
}
