#include "tools/common/ToolOptions.h"
#include "tests/support/TestPaths.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct OptionsCase {
    QStringList words;
    QStringList plain;
    QString runs; // the value of --runs, "" when not given
    bool dark;
    QString error;
};

TEST(ToolOptions, OptionsValuesAndPlainArguments)
{
    const OptionsCase cases[] = {
        { { u"out"_s }, { u"out"_s }, {}, false, {} },
        { { u"--runs"_s, u"3"_s, u"out"_s, u"--dark"_s }, { u"out"_s }, u"3"_s, true, {} },
        { { u"--runs=7"_s, u"a"_s, u"b"_s }, { u"a"_s, u"b"_s }, u"7"_s, false, {} },
        // Nothing that starts with "-" is ever a folder.
        { { u"--help"_s }, {}, {}, false, u"unknown option --help"_s },
        { { u"out"_s, u"-h"_s }, { u"out"_s }, {}, false, u"unknown option -h"_s },
        { { u"--dark=1"_s, u"out"_s }, {}, {}, false, u"unknown option --dark=1"_s },
        { { u"out"_s, u"--runs"_s }, { u"out"_s }, {}, false, u"option --runs needs a value"_s },
    };
    for (const OptionsCase &c : cases) {
        const ToolOptions parsed = ParseToolOptions(c.words, { u"--runs"_s }, { u"--dark"_s });
        const std::string what = c.words.join(u' ').toStdString();
        EXPECT_EQ(parsed.error, c.error) << what;
        EXPECT_EQ(parsed.plain, c.plain) << what;
        EXPECT_EQ(parsed.value(u"--runs"_s), c.runs) << what;
        EXPECT_EQ(parsed.isSet(u"--dark"_s), c.dark) << what;
    }
}

// window_shots with an option it does not know stops with its usage and writes nothing.
TEST(ToolOptions, WindowShotsRefusesUnknownOptions)
{
    for (const QStringList &words : { QStringList { u"--help"_s }, QStringList { u"--dark"_s },
             QStringList { u"out"_s, u"--light"_s }, QStringList { u"a"_s, u"b"_s } }) {
        QTemporaryDir cwd;
        ASSERT_TRUE(cwd.isValid());
        QProcess shots;
        shots.setWorkingDirectory(cwd.path());
        shots.start(quotra::test::binPath(u"window_shots"), words);
        ASSERT_TRUE(shots.waitForFinished(60000)) << words.join(u' ').toStdString();
        EXPECT_EQ(shots.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(shots.exitCode(), 2) << words.join(u' ').toStdString();
        EXPECT_TRUE(shots.readAllStandardError().contains("usage: window_shots OUTDIR"));
        EXPECT_TRUE(QDir(cwd.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot))
            << words.join(u' ').toStdString() << ": a folder was made";
    }
}

} // namespace
