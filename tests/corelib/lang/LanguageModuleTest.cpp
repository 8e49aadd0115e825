#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "tests/support/TestPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

using tessera::LanguageModule;

QString shippedModule()
{
    // The test binaries land beside the program and its module.
    const QStringList candidates = LanguageModule::candidateFiles();
    for (const QString &c : candidates)
        if (QFile::exists(c))
            return c;
    return {};
}

TEST(LanguageModuleTable, ParsesEntriesCommentsAndEscapes)
{
    QStringList problems;
    const QHash<int, QString> t = LanguageModule::parseTable(
        "# comment\n2001\tone\\ntwo\r\n\n2002\ttab\\there\\\\back\n2003\t\n", &problems);
    EXPECT_TRUE(problems.isEmpty());
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t.value(2001), QStringLiteral("one\ntwo"));
    EXPECT_EQ(t.value(2002), QStringLiteral("tab\there\\back"));
    EXPECT_EQ(t.value(2003), QString());
}

TEST(LanguageModuleTable, MalformedLinesAreSkippedAndDescribed)
{
    QStringList problems;
    const QHash<int, QString> t = LanguageModule::parseTable(
        "no tab here\n\tno id\nabc\ttext\n-5\tnegative\n0\tzero\n99999999999\ttoo "
        "big\n2205\tfirst\n2205\tsecond\n"
        "2206\tok",
        &problems);
    EXPECT_EQ(t.size(), 2);
    EXPECT_EQ(t.value(2205), QStringLiteral("first")) << "of duplicate ids the first wins";
    EXPECT_EQ(t.value(2206), QStringLiteral("ok"));
    EXPECT_EQ(problems.size(), 7);
    EXPECT_EQ(problems.last(), QStringLiteral("line 8: id 2205 appears again"));
}

TEST(LanguageModuleTable, GarbageBytesDoNotCrash)
{
    QByteArray junk;
    for (int i = 0; i < 100000; ++i)
        junk.append(char((i * 7919 + 13) % 256));
    const QHash<int, QString> t = LanguageModule::parseTable(junk);
    for (auto it = t.begin(); it != t.end(); ++it)
        EXPECT_GT(it.key(), 0);
}

TEST(LanguageModuleFile, ShippedModuleLoads)
{
    const QString file = shippedModule();
    ASSERT_FALSE(file.isEmpty()) << "quotra_ja.rcc beside the tests";
    LanguageModule m;
    ASSERT_TRUE(m.load(file));
    EXPECT_TRUE(m.isLoaded());
    EXPECT_EQ(m.path(), file);
    EXPECT_FALSE(m.text(2206).isEmpty());
}

TEST(LanguageModuleFile, MissingGarbageEmptyAndTablelessModulesFail)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString garbage = dir.filePath(QStringLiteral("garbage.rcc"));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, '\x5a'));
    }
    const QString fakeHeader = dir.filePath(QStringLiteral("fake.rcc"));
    {
        QFile f(fakeHeader);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("qres\0\0\0\3", 8) + QByteArray(200, '\xff'));
    }
    for (const QString &file : { dir.filePath(QStringLiteral("absent.rcc")), garbage, fakeHeader, dir.path(),
             quotra::test::buildPath(u"tests/corelib/lang/empty.rcc"),
             quotra::test::buildPath(u"tests/corelib/lang/notable.rcc") }) {
        LanguageModule m;
        EXPECT_FALSE(m.load(file)) << file.toStdString();
        EXPECT_FALSE(m.isLoaded());
        EXPECT_TRUE(m.texts().isEmpty());
    }
}

TEST(LanguageModuleFile, TruncatedModulesNeverCrash)
{
    const QString file = shippedModule();
    ASSERT_FALSE(file.isEmpty());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    QTemporaryDir dir;
    for (qsizetype n = 0; n < whole.size(); n += 97) {
        const QString cut = dir.filePath(QStringLiteral("cut%1.rcc").arg(n));
        QFile out(cut);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(whole.left(n));
        out.close();
        LanguageModule m;
        if (m.load(cut)) {
            EXPECT_FALSE(m.texts().isEmpty());
        }
    }
}

TEST(LanguageModuleFile, EnvironmentNamesTheOnlyCandidate)
{
    qputenv("QUOTRA_LANG_MODULE", "/nonexistent/quotra_ja.rcc");
    EXPECT_EQ(LanguageModule::candidateFiles(), QStringList { QStringLiteral("/nonexistent/quotra_ja.rcc") });
    LanguageModule m;
    EXPECT_FALSE(m.load());
    qunsetenv("QUOTRA_LANG_MODULE");
    EXPECT_GT(LanguageModule::candidateFiles().size(), 1);
}

TEST(Messages, FormatInsertsValuesInOrder)
{
    ASSERT_TRUE(LanguageModule::instance().load());
    const QString text = tessera::FormatResourceString(2030,
        { QStringLiteral("Quotra\\list"), QStringLiteral("/l.kabu"), QStringLiteral("月,火"),
            QStringLiteral("9"), QStringLiteral("05") });
    EXPECT_TRUE(text.contains(QStringLiteral("Quotra\\list")));
    EXPECT_LT(text.indexOf(QStringLiteral("/l.kabu")), text.indexOf(QStringLiteral("月,火")));
    EXPECT_FALSE(text.contains(QStringLiteral("%")));
    EXPECT_EQ(tessera::ResourceString(1), QString()) << "an unknown id is empty";
}

// Paths and user texts are arguments: what was inserted is never substituted again.
TEST(Messages, FormatSubstitutesInOnePass)
{
    ASSERT_TRUE(LanguageModule::instance().load());
    EXPECT_EQ(
        tessera::FormatResourceString(Ids::MsgProfitSum, { QStringLiteral("A"), QStringLiteral("50%1") }),
        LanguageModule::instance()
            .text(Ids::MsgProfitSum)
            .replace(QStringLiteral("%1"), QStringLiteral("A"))
            .replace(QStringLiteral("%2"), QStringLiteral("50%1")));
    EXPECT_EQ(tessera::FormatResourceString(Ids::MsgHelpFileMissing, { QStringLiteral("/h/%1%2.html") }),
        LanguageModule::instance()
            .text(Ids::MsgHelpFileMissing)
            .replace(QStringLiteral("%1"), QStringLiteral("/h/%1%2.html")));
}

struct SubstituteCase {
    const char *text;
    std::vector<const char *> args;
    const char *expected;
};

void PrintTo(const SubstituteCase &c, std::ostream *os)
{
    *os << '"' << c.text << "\" with " << c.args.size() << " arguments";
}

class Substitute : public ::testing::TestWithParam<SubstituteCase> { };

TEST_P(Substitute, Replaces)
{
    QStringList args;
    for (const char *a : GetParam().args)
        args << QString::fromUtf8(a);
    EXPECT_EQ(tessera::SubstituteArguments(QString::fromUtf8(GetParam().text), args),
        QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, Substitute,
    ::testing::Values(SubstituteCase { "%1 and %2", { "a", "b" }, "a and b" },
        SubstituteCase { "%2 before %1", { "a", "b" }, "b before a" },
        SubstituteCase { "%1", { "%2", "x" }, "%2" }, SubstituteCase { "%1 %2", { "a", "%1" }, "a %1" },
        SubstituteCase { "%10", { "a", "b" }, "a0" },
        SubstituteCase { "%10", { "1", "2", "3", "4", "5", "6", "7", "8", "9", "ten" }, "ten" },
        SubstituteCase { "%0 %3 %", { "a", "b" }, "%0 %3 %" }, SubstituteCase { "100%", {}, "100%" },
        SubstituteCase { "%1%1", { "x" }, "xx" }));

TEST(Messages, HeadlessMessagesTakeTheDefaultAnswer)
{
    tessera::SetMessageHandler({});
    EXPECT_EQ(tessera::ShowMessage(QStringLiteral("x"), tessera::MbYesNo), tessera::IdYes);
    EXPECT_EQ(
        tessera::ShowMessage(QStringLiteral("x"), tessera::MbYesNo | tessera::MbDefButton2), tessera::IdNo);
    EXPECT_EQ(tessera::ShowMessage(QStringLiteral("x"), tessera::MbOkCancel | tessera::MbDefButton2),
        tessera::IdCancel);
    EXPECT_EQ(tessera::ShowMessage(QStringLiteral("x")), tessera::IdOk);
}

} // namespace
