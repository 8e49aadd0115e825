#include "tests/support/SampleSite.h"
#include "tests/support/TestPaths.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// scripts/live-check.sh against the sample site, which follows the real site's layout.

namespace {

struct LiveCheck {
    int status = -1;
    QString out;
};

LiveCheck runLiveCheck(const SampleSite &site)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QUOTRA_SITE_ROOT"_s, site.root());
    env.insert(u"QUOTRA_CLI"_s, quotra::test::binPath(u"quotra-cli"));
    process.setProcessEnvironment(env);
    process.start(u"sh"_s, { quotra::test::sourcePath(u"scripts/live-check.sh") });
    LiveCheck result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    return result;
}

} // namespace

TEST(LiveCheck, EveryKindGivesItsFieldsOnTheSampleSite)
{
    SampleSite site;
    ASSERT_TRUE(site.start());
    const LiveCheck check = runLiveCheck(site);
    EXPECT_EQ(check.status, 0) << check.out.toStdString();
    for (const char *line :
        { "domestic-stock: 3 of 3 fetched", "domestic-index: 2 of 2 fetched", "foreign-stock: 2 of 2 fetched",
            "fund: 2 of 2 fetched", "world-index: 2 of 2 fetched", "live-check: every kind gave its fields" })
        EXPECT_TRUE(check.out.contains(QLatin1String(line))) << line << "\n" << check.out.toStdString();
    // The domestic stock page has every quote field.
    EXPECT_TRUE(check.out.contains(u"  in every page (31): name market t_value"_s))
        << check.out.toStdString();
}

TEST(LiveCheck, AFailedCodeFailsTheCheckWithItsReason)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--fail-404"_s, u"AAPL"_s }));
    const LiveCheck check = runLiveCheck(site);
    EXPECT_EQ(check.status, 1) << check.out.toStdString();
    EXPECT_TRUE(check.out.contains(u"foreign-stock: 1 of 2 fetched\n  AAPL: failed: HTTP status 404\n"_s))
        << check.out.toStdString();
    EXPECT_TRUE(check.out.contains(u"live-check: some codes or fields are missing"_s));
}
