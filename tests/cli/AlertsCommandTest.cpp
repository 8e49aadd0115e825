// quotra-cli alerts: adding, listing and deleting conditions, their refusals, and a check run
// against the sample site that prints what fired.
#include "tests/support/SampleSite.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

CliRun alerts(const QStringList &arguments)
{
    return RunCli(QStringList { u"alerts"_s } + arguments);
}

class AlertsCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("QUOTRA_HISTORY", m_dir.filePath(u"history.sqlite"_s).toUtf8());
    }
    void TearDown() override { qunsetenv("QUOTRA_HISTORY"); }

    QTemporaryDir m_dir;
};

TEST_F(AlertsCommand, AddListDeleteAndCheck)
{
    EXPECT_EQ(alerts({ u"list"_s }).status, 0) << "no file: no alerts, nothing made";
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"history.sqlite"_s)));

    ASSERT_EQ(alerts({ u"add"_s, u"7203"_s, u"--above"_s, u"1"_s, u"--note"_s, u"look"_s }).status, 0);
    ASSERT_EQ(alerts({ u"add"_s, u"7203"_s, u"--change=-3"_s }).status, 0);
    ASSERT_EQ(alerts({ u"add"_s, u"^DJI"_s, u"--below"_s, u"1"_s }).status, 0);
    CliRun list = alerts({ u"list"_s });
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    EXPECT_EQ(list.out.count(u"armed"_s), 3) << list.out.toStdString();
    EXPECT_TRUE(list.out.contains(u"fall"_s)) << "-3 watches the fall only";
    EXPECT_FALSE(list.out.contains(u"rise"_s));
    EXPECT_TRUE(list.out.contains(u"look"_s));

    SampleSite site;
    ASSERT_TRUE(site.start());
    const QString file = m_dir.filePath(u"mine.txt"_s);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("7203\n^DJI\n");
    }
    const CliRun check = alerts({ u"check"_s, file });
    ASSERT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_TRUE(check.out.startsWith(u"alert 7203 above 1: "_s)) << check.out.toStdString();
    EXPECT_TRUE(check.out.contains(u" -- look\n"_s));
    EXPECT_EQ(check.out.count(u'\n'), 1) << "a price above 1 fires, one below 1 does not";
    EXPECT_TRUE(alerts({ u"check"_s, file }).out.isEmpty()) << "fired once, not at every update";
    list = alerts({ u"list"_s });
    EXPECT_EQ(list.out.count(u"fired"_s), 2) << list.out.toStdString(); // the header's "last fired" and 7203
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "7203\n^DJI\n") << "check never saves the list";

    EXPECT_EQ(alerts({ u"delete"_s, u"7203"_s, u"above"_s }).status, 0);
    EXPECT_EQ(alerts({ u"delete"_s, u"7203"_s, u"above"_s }).status, 1);
    EXPECT_EQ(alerts({ u"delete"_s, u"^DJI"_s }).status, 0);
    EXPECT_EQ(alerts({ u"list"_s }).out.count(u'\n'), 3) << "the header, its rule and 7203's fall";
}

struct Refusal {
    const char *name;
    QStringList arguments;
    QString message;
};

class AlertsRefusal : public AlertsCommand, public ::testing::WithParamInterface<Refusal> { };

TEST_P(AlertsRefusal, SaysWhyAndChangesNothing)
{
    const CliRun run = alerts(GetParam().arguments);
    EXPECT_EQ(run.status, 2) << run.err.toStdString();
    EXPECT_TRUE(run.err.startsWith(u"quotra-cli: "_s + GetParam().message)) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"history.sqlite"_s)));
}

INSTANTIATE_TEST_SUITE_P(Arguments, AlertsRefusal,
    ::testing::Values(Refusal { "no_action", {}, u"no action given"_s },
        Refusal { "unknown_action", { u"fire"_s }, u"unknown action fire"_s },
        Refusal {
            "bad_code", { u"add"_s, u"toyota"_s, u"--above"_s, u"1"_s }, u"toyota is not a security code"_s },
        Refusal { "negative_price", { u"add"_s, u"7203"_s, u"--below=-5"_s },
            u"--below: a price is never negative"_s },
        Refusal { "missing_value", { u"add"_s, u"7203"_s, u"--above"_s }, u"option --above needs a value"_s },
        Refusal { "not_a_number", { u"add"_s, u"7203"_s, u"--above"_s, u"lots"_s },
            u"--above: lots is not a number"_s },
        Refusal { "zero_change", { u"add"_s, u"7203"_s, u"--change"_s, u"0"_s }, u"--change: 0 %"_s },
        Refusal { "no_condition", { u"add"_s, u"7203"_s }, u"give --above, --below or --change"_s },
        Refusal { "option_elsewhere", { u"list"_s, u"--above=1"_s }, u"the options belong to alerts add"_s },
        Refusal { "bad_condition", { u"delete"_s, u"7203"_s, u"up"_s }, u"up is not a condition"_s },
        Refusal { "check_nothing", { u"check"_s }, u"no list given"_s }),
    [](const ::testing::TestParamInfo<Refusal> &info) { return std::string(info.param.name); });

} // namespace
