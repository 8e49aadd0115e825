#include "EngineState.h"
#include "tests/support/TestPaths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>

using tessera::CJre;
using namespace Qt::StringLiterals;

namespace {

class NoEngine : public EngineState {
protected:
    void SetUp() override
    {
        EngineState::SetUp();
        bindFrom(quotra::test::engineSet(u"none").constData());
    }
};
class RegexOnly : public EngineState {
protected:
    void SetUp() override
    {
        EngineState::SetUp();
        bindFrom(quotra::test::engineSet(u"regex-only").constData());
    }
};
class BothEngines : public EngineState {
protected:
    void SetUp() override
    {
        EngineState::SetUp();
        bindFrom(quotra::test::binDir().toLocal8Bit().constData());
    }
};

} // namespace

// ---- No module: plain search

TEST_F(NoEngine, InitFailsSilentlyAndNothingIsAvailable)
{
    EXPECT_EQ(m_bound, 0);
    EXPECT_FALSE(CJre::s_bJre32);
    EXPECT_FALSE(CJre::s_bHmJre);
    EXPECT_TRUE(CJre::GetDllName().isEmpty());
    EXPECT_EQ(CJre::GetVersion(), 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(NoEngine, MotorFindsMotorWithoutMatchCase)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"motor"_s, false, false, false), 1);
    EXPECT_EQ(jre.Find(u"Toyota Motor Corp"), 1);
    EXPECT_EQ(jre.Find(u"Toyota"), 0);
    ASSERT_EQ(jre.Compile(u"motor"_s, true, false, false), 1);
    EXPECT_EQ(jre.Find(u"Toyota Motor Corp"), 0);
    EXPECT_EQ(jre.Find(u"electric motor"), 1);
}

TEST_F(NoEngine, AnyPatternCompilesAndRegularAndFuzzyFallBackToPlain)
{
    CJre jre;
    EXPECT_EQ(jre.Compile(u"(unclosed"_s, false, true, false), 1);
    EXPECT_EQ(jre.Find(u"an (UNCLOSED bracket"), 1);
    EXPECT_EQ(jre.Find(u"unclosed"), 0);
    EXPECT_EQ(jre.Compile(u"ＡＢＣ"_s, false, false, true), 1);
    EXPECT_EQ(jre.Find(u"ABC"), 0); // no folding without the fuzzy module
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(NoEngine, EmptyTextNeverMatches)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(QString(), false, false, false), 1);
    EXPECT_EQ(jre.Find(u""), 0);
    EXPECT_EQ(jre.Find(QStringView()), 0);
    EXPECT_EQ(jre.Find(u"x"), 1);
}

TEST_F(NoEngine, NulAndLoneSurrogatesArePlainUnits)
{
    CJre jre;
    const QString text = QString(u"a"_s) + QChar(0) + QChar(0xD800) + u"b";
    ASSERT_EQ(jre.Compile(QString(QChar(0)) + QChar(0xD800), true, false, false), 1);
    EXPECT_EQ(jre.Find(text), 1);
    EXPECT_EQ(jre.Find(u"ab"), 0);
}

TEST_F(EngineState, ModuleWithoutARequiredEntryPointIsNotUsed)
{
    bindFrom(quotra::test::engineSet(u"broken").constData());
    EXPECT_EQ(m_bound, 0);
    EXPECT_FALSE(CJre::s_bJre32);
    EXPECT_TRUE(CJre::GetDllName().isEmpty());
    CJre jre;
    ASSERT_EQ(jre.Compile(u"(motor"_s, false, true, false), 1); // plain search
    EXPECT_EQ(jre.Find(u"(Motor"), 1);
}

TEST_F(EngineState, EngineFoldersFollowTheVariable)
{
    qputenv("QUOTRA_ENGINE_DIR", "/some/where");
    EXPECT_EQ(CJre::EngineFolders(), QStringList { u"/some/where"_s });
    qunsetenv("QUOTRA_ENGINE_DIR");
    const QStringList folders = CJre::EngineFolders();
    ASSERT_GE(folders.size(), 2);
    EXPECT_TRUE(folders.last().endsWith(u"/lib/quotra"_s));
}

// ---- Regular expressions only

TEST_F(RegexOnly, RegularIsAvailableAndFuzzyStaysOff)
{
    EXPECT_EQ(m_bound, 1);
    EXPECT_TRUE(CJre::s_bJre32);
    EXPECT_FALSE(CJre::s_bHmJre);
    EXPECT_EQ(CJre::GetDllName(), u"JRE32.SO"_s);
    EXPECT_EQ(CJre::GetVersion(), 0x0100);
    CJre jre;
    ASSERT_EQ(jre.Compile(u"ＡＢＣ"_s, false, false, true), 1);
    EXPECT_EQ(jre.Find(u"ABC"), 0); // fuzzy asked for, plain search done
    EXPECT_EQ(jre.Find(u"xＡＢＣx"), 1);
}

// Without match case a regular expression keeps its escapes: \d is a digit, \D none.
struct CaselessCase {
    const char16_t *pattern;
    const char16_t *text;
    bool matches;
};

constexpr CaselessCase kCaselessCases[] = {
    { u"\\d{4}", u"7203", true },
    { u"^\\d{4}$", u"6758", true },
    { u"^\\D+$", u"6758", false },
    { u"^\\D+$", u"Sony", true },
    { u"\\w+\\s\\w+", u"Toyota Motor", true },
    { u"^\\S+$", u"Toyota Motor", false },
    { u"\\bmotor\\b", u"TOYOTA MOTOR", true },
    { u"\\Bmotor", u"TOYOTAMOTOR", true },
    { u"mot[o]r", u"Toyota Motor", true },
    { u"[A-F]{3}", u"abc", true },
    { u"\\d", u"１２３", false }, // full-width digits are no ASCII digits
    { u"^\\w+$", u"トヨタ", false },
    { u"トヨタ", u"トヨタ自動車", true },
};

void ExpectCaselessCases()
{
    for (const CaselessCase &c : kCaselessCases) {
        CJre jre;
        ASSERT_EQ(jre.Compile(QString::fromUtf16(c.pattern), false, true, false), 1);
        EXPECT_EQ(jre.Find(QStringView(c.text)), c.matches ? 1 : 0)
            << QString::fromUtf16(c.pattern).toStdString() << " in "
            << QString::fromUtf16(c.text).toStdString();
    }
}

TEST_F(RegexOnly, WithoutMatchCaseEscapesKeepTheirMeaning)
{
    ExpectCaselessCases();
    CJre jre;
    ASSERT_EQ(jre.Compile(u"^\\d+$"_s, true, true, false), 1);
    EXPECT_EQ(jre.Find(u"123"), 1);
    EXPECT_EQ(jre.Find(u"abc"), 0);
    ASSERT_EQ(jre.Compile(u"Motor"_s, true, true, false), 1); // match case on
    EXPECT_EQ(jre.Find(u"Toyota MOTOR"), 0);
}

TEST_F(BothEngines, WithoutMatchCaseEscapesKeepTheirMeaning)
{
    ExpectCaselessCases();
    // A fuzzy regular expression keeps its escapes too; its folding takes care of case.
    CJre jre;
    ASSERT_EQ(jre.Compile(u"^\\d{4}$"_s, false, true, true), 1);
    EXPECT_EQ(jre.Find(u"7203"), 1);
    EXPECT_EQ(jre.Find(u"７２０３"), 1); // width folded
    EXPECT_EQ(jre.Find(u"Sony"), 0);
    ASSERT_EQ(jre.Compile(u"\\bmotor"_s, false, true, true), 1);
    EXPECT_EQ(jre.Find(u"Toyota ＭＯＴＯＲ"), 1);
}

// The engine's caseless matching against Python's re with IGNORECASE and ASCII, which has the
// same meaning of the escapes and classes and of case for ASCII letters.
TEST_F(RegexOnly, CaselessMatchingAgreesWithPythonRe)
{
    const QString python = QStandardPaths::findExecutable(u"python3"_s);
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const QStringList patterns { uR"(\d{4})"_s, uR"(^\d+$)"_s, uR"(^\D+$)"_s, uR"(\D)"_s, uR"(\w+)"_s,
        uR"(^\w+$)"_s, uR"(\W)"_s, uR"(\s)"_s, uR"(\S+\s\S+)"_s, uR"(\bmotor\b)"_s, uR"(\Bot)"_s,
        uR"(^[a-z]+$)"_s, uR"([^A-Z0-9])"_s, uR"([A-F]\d)"_s, uR"([[\]^-])"_s, uR"(\.T$)"_s, uR"(^\^dji$)"_s,
        uR"(\x41\x62)"_s, uR"(\t)"_s, uR"(toyota|sony)"_s, uR"((ab)\1)"_s, uR"((?-i:Motor))"_s,
        uR"(mot(?=or))"_s, uR"((?<!\d)\d{3}(?!\d))"_s, uR"(^.{2}$)"_s, uR"(a.c)"_s, uR"(\d+\.\d+%)"_s,
        uR"(^[+-]?\d{1,3}(,\d{3})*$)"_s, uR"(トヨタ)"_s, uR"(\w\W\w)"_s, uR"([\d\s]+)"_s, uR"(Z{2,})"_s };
    const QStringList texts { u"7203"_s, u"6758"_s, u"13010"_s, u"130A"_s, u"8306.T"_s, u"^DJI"_s,
        u"Toyota Motor"_s, u"TOYOTA MOTOR"_s, u"toyotamotor"_s, u"SONY"_s, u"abAB"_s, u"ABab"_s, u"a\tb"_s,
        u"a\nc"_s, u"+1,234"_s, u"-0.78%"_s, u"12.5%"_s, u"トヨタ自動車"_s, u"ト ヨ"_s,
        u"トヨタ\u3000自動車"_s, u"１２３４"_s, u"[x]"_s, u"a-b^c"_s, u"zz"_s, u"Zz"_s, u"x_y"_s, u"é9"_s };
    QJsonArray cases;
    for (const QString &p : patterns)
        cases.append(QJsonArray { p, QJsonArray::fromStringList(texts) });
    const QByteArray script = R"(
import json, re, sys
out = []
for pattern, texts in json.load(sys.stdin):
    compiled = re.compile(pattern, re.IGNORECASE | re.ASCII)
    out.append([1 if compiled.search(t) else 0 for t in texts])
json.dump(out, sys.stdout)
)";
    QProcess process;
    process.start(python, { u"-c"_s, QString::fromUtf8(script) });
    ASSERT_TRUE(process.waitForStarted());
    process.write(QJsonDocument(cases).toJson(QJsonDocument::Compact));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QJsonArray expected = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    ASSERT_EQ(expected.size(), patterns.size());
    int matches = 0;
    for (qsizetype i = 0; i < patterns.size(); ++i) {
        CJre jre;
        ASSERT_EQ(jre.Compile(patterns[i], false, true, false), 1) << patterns[i].toStdString();
        const QJsonArray row = expected[i].toArray();
        for (qsizetype j = 0; j < texts.size(); ++j) {
            const int found = jre.Find(texts[j]);
            matches += found;
            EXPECT_EQ(found, row[j].toInt()) << patterns[i].toStdString() << " in " << texts[j].toStdString();
        }
    }
    EXPECT_GT(matches, 100); // the table is no table of misses
}

TEST_F(RegexOnly, RefusedPatternShowsTheEngineMessageWithItsOffset)
{
    CJre jre;
    EXPECT_EQ(jre.Compile(u"ab(c"_s, true, true, false), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains(u"offset 4")) << messages.front().toStdString();
    EXPECT_EQ(CJre::GetJreMessage(), messages.front());
    EXPECT_EQ(jre.Find(u"abc"), 0); // the refused pattern searches nothing
}

TEST_F(RegexOnly, CatastrophicPatternIsALimitHitTheCallerSees)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"^(a+)+$"_s, true, true, false), 1);
    const QString text = QString(40, u'a') + u'!';
    EXPECT_EQ(jre.Find(text), 0);
    EXPECT_TRUE(jre.limitHit());
    EXPECT_TRUE(CJre::GetJreMessage().contains(u"limit")) << CJre::GetJreMessage().toStdString();
    EXPECT_EQ(jre.Find(u"aaa"), 1); // a short text is still answered
    EXPECT_FALSE(jre.limitHit());
    EXPECT_TRUE(messages.isEmpty()); // the caller reports it
}

TEST_F(RegexOnly, LoneSurrogatesAndNulInTexts)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"a.b"_s, true, true, false), 1);
    // A lone surrogate is no character: "." does not match it, the search goes on past it.
    EXPECT_EQ(jre.Find(QString(u"a"_s + QChar(0xDC00) + u"b")), 0);
    EXPECT_EQ(jre.Find(QString(u"x"_s + QChar(0xDC00) + u"a-b")), 1);
    EXPECT_EQ(jre.Find(QString(u"a"_s + QChar(0) + u"b")), 1);
    EXPECT_EQ(jre.Find(QString(QString(QChar(0xD800)) + QChar(0xD800))), 0);
    // A lone surrogate in the pattern is invalid UTF-16: refused with a message.
    EXPECT_EQ(jre.Compile(QString(u"x"_s) + QChar(0xD800), true, true, false), 0);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(RegexOnly, PatternOfTenThousandCharacters)
{
    CJre jre;
    const QString longLiteral(10000, u'x');
    ASSERT_EQ(jre.Compile(longLiteral, true, true, false), 1);
    EXPECT_EQ(jre.Find(longLiteral), 1);
    EXPECT_EQ(jre.Find(QString(9999, u'x')), 0);
    QString alternation;
    for (int i = 0; alternation.size() < 10000; ++i)
        alternation += QString::number(i) + u'|';
    alternation.chop(1);
    ASSERT_EQ(jre.Compile(alternation, true, true, false), 1);
    EXPECT_EQ(jre.Find(u"123"), 1);
    EXPECT_EQ(jre.Find(u"abc"), 0);
    EXPECT_EQ(jre.Compile(QString(5000, u'('), true, true, false), 0); // nesting too deep
}

// ---- Both: hmjre.so

TEST_F(BothEngines, FuzzyModuleIsPreferred)
{
    EXPECT_EQ(m_bound, 1);
    EXPECT_TRUE(CJre::s_bJre32);
    EXPECT_TRUE(CJre::s_bHmJre);
    EXPECT_EQ(CJre::GetDllName(), u"HMJRE.SO"_s);
    EXPECT_EQ(CJre::GetVersion(), 0x0100);
    EXPECT_EQ(CJre::Init(1), 1); // bound once
}

TEST_F(BothEngines, FuzzyPlainFoldsWidthKanaAndCase)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"とよた"_s, false, false, true), 1);
    EXPECT_EQ(jre.Find(u"トヨタ自動車"), 1);
    EXPECT_EQ(jre.Find(u"ﾄﾖﾀ"), 1);
    EXPECT_EQ(jre.Find(u"ホンダ"), 0);
    ASSERT_EQ(jre.Compile(u"abc"_s, false, false, true), 1);
    EXPECT_EQ(jre.Find(u"ＡＢＣ"), 1);
    ASSERT_EQ(jre.Compile(u"abc"_s, true, false, true), 1);
    EXPECT_EQ(jre.Find(u"ＡＢＣ"), 0); // match case keeps case
    EXPECT_EQ(jre.Find(u"ａｂｃ"), 1); // width still folded
}

TEST_F(BothEngines, FuzzyRegularFoldsTheLiterals)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"ガ.*１２３$"_s, true, true, true), 1);
    EXPECT_EQ(jre.Find(u"ｶﾞス123"), 1);
    EXPECT_EQ(jre.Find(u"ｶﾞス124"), 0);
    // A full-width operator stays a literal after folding.
    ASSERT_EQ(jre.Compile(u"Ａ＊"_s, true, true, true), 1);
    EXPECT_EQ(jre.Find(u"A*"), 1);
    EXPECT_EQ(jre.Find(u"AAA"), 0);
    EXPECT_EQ(jre.Compile(u"(ガ"_s, true, true, true), 0);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(BothEngines, FoldOptionsReopenTheEngine)
{
    CJre jre;
    CJre::SetFuzzyFold(JRE_FOLD_WIDTH | JRE_FOLD_CASE);
    EXPECT_TRUE(CJre::s_bHmJre);
    ASSERT_EQ(jre.Compile(u"とよた"_s, false, false, true), 1);
    EXPECT_EQ(jre.Find(u"トヨタ"), 0); // kana no longer folded
    const auto ask = [](void *, uint32_t *fold) {
        *fold = JRE_FOLD_ALL;
        return 1;
    };
    EXPECT_EQ(CJre::Fuzzy_OptionDialog(ask, nullptr), 1);
    EXPECT_EQ(CJre::GetFuzzyFold(), quint32(JRE_FOLD_ALL));
    ASSERT_EQ(jre.Compile(u"とよた"_s, false, false, true), 1);
    EXPECT_EQ(jre.Find(u"トヨタ"), 1);
    const auto cancel = [](void *, uint32_t *) { return 0; };
    EXPECT_EQ(CJre::Fuzzy_OptionDialog(cancel, nullptr), 0);
}

TEST_F(BothEngines, RegularWithoutFuzzyStillWorks)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"^[0-9]{4}$"_s, true, true, false), 1);
    EXPECT_EQ(jre.Find(u"7203"), 1);
    EXPECT_EQ(jre.Find(u"72030"), 0);
    EXPECT_EQ(jre.Find(u""), 0);
}
