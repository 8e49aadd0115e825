#include "EngineState.h"
#include "tests/support/TestPaths.h"

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

TEST_F(RegexOnly, PatternIsUpperCasedWithItsEscapeLetters)
{
    CJre jre;
    // \d becomes \D (not a digit) and \s becomes \S without match case.
    ASSERT_EQ(jre.Compile(u"^\\d+$"_s, false, true, false), 1);
    EXPECT_EQ(jre.Find(u"abc"), 1);
    EXPECT_EQ(jre.Find(u"123"), 0);
    ASSERT_EQ(jre.Compile(u"^\\d+$"_s, true, true, false), 1);
    EXPECT_EQ(jre.Find(u"123"), 1);
    EXPECT_EQ(jre.Find(u"abc"), 0);
    // Letters and texts both upper-cased: motor finds Motor.
    ASSERT_EQ(jre.Compile(u"mot[o]r"_s, false, true, false), 1);
    EXPECT_EQ(jre.Find(u"Toyota Motor"), 1);
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

TEST_F(RegexOnly, CatastrophicPatternIsALimitHitReportedOnce)
{
    CJre jre;
    ASSERT_EQ(jre.Compile(u"(a|a)+(b|c)*$z"_s, true, true, false), 1);
    ASSERT_EQ(jre.Compile(u"^(a+)+$"_s, true, true, false), 1);
    const QString text = QString(40, u'a') + u'!';
    EXPECT_EQ(jre.Find(text), 0);
    EXPECT_EQ(jre.Find(text), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains(u"limit")) << messages.front().toStdString();
    ASSERT_EQ(jre.Compile(u"^(a+)+$"_s, true, true, false), 1);
    EXPECT_EQ(jre.Find(text), 0);
    EXPECT_EQ(messages.size(), 2); // once per compile
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
