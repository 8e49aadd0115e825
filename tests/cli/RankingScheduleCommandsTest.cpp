#include "tests/support/FakeCrontab.h"
#include "tests/support/SampleSite.h"

#include "SamplePages.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class RankingScheduleCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        qputenv("QUOTRA_CRONTAB", m_crontab.program().toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("QUOTRA_CRONTAB");
    }
    int run(const QStringList &arguments)
    {
        m_out.clear();
        m_err.clear();
        return RunProgram(u"quotra-cli"_s, arguments, m_out, &m_err);
    }
    QString makeList(const QByteArray &codes)
    {
        const QString text = m_work.filePath(u"codes.txt"_s);
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write(codes);
        f.close();
        const QString list = m_work.filePath(u"list.kabu"_s);
        EXPECT_EQ(run({ u"export"_s, text, list }), 0) << m_err.toStdString();
        return list;
    }

    QTemporaryDir m_config;
    QTemporaryDir m_work;
    FakeCrontab m_crontab;
    QByteArray m_out;
    QByteArray m_err;
};

TEST_F(RankingScheduleCommands, RankingPrintsTheSitesCodesAndNames)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--pad-bytes"_s, u"0"_s }));
    ASSERT_EQ(run({ u"ranking"_s, u"--json"_s, u"2"_s }), 0) << m_err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(m_out).array();
    ASSERT_FALSE(rows.isEmpty());
    QStringList codes;
    for (const auto &row : rows) {
        codes << row.toObject().value(u"code"_s).toString();
        EXPECT_FALSE(row.toObject().value(u"name"_s).toString().isEmpty());
    }
    // The sample site lists every domestic stock in its up ranking.
    EXPECT_EQ(codes.size(), samplesite::RankingCodes(u"up"_s, 1).size());
}

TEST_F(RankingScheduleCommands, RankingApplyAddsSortsUpdatesAndSaves)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--pad-bytes"_s, u"0"_s }));
    const QString list = makeList("7203\nAAPL\n");
    ASSERT_EQ(run({ u"ranking"_s, u"--apply"_s, u"4"_s, list }), 0) << m_err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(m_out).startsWith(u"出来高: ranked "_s)) << m_out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(m_out).contains(u"failed 0"_s)) << m_out.toStdString();
    ASSERT_EQ(run({ u"show"_s, u"--columns"_s, u"1,7"_s, list }), 0) << m_err.toStdString();
    const QStringList lines = QString::fromUtf8(m_out).split(u'\n', Qt::SkipEmptyParts);
    // The header, its rule, the ranked stocks and AAPL, which the ranking does not list.
    const qsizetype ranked = samplesite::RankingCodes(u"volume"_s, 1).size();
    ASSERT_EQ(lines.size(), 2 + ranked + 1) << m_out.toStdString();
    // Sorted by volume, highest first.
    auto volumeOf = [](const QString &line) {
        return line.section(u' ', -1, -1, QString::SectionSkipEmpty).remove(u',').toLongLong();
    };
    for (qsizetype i = 3; i < 2 + ranked; ++i)
        EXPECT_GE(volumeOf(lines[i - 1]), volumeOf(lines[i])) << lines[i - 1].toStdString();
}

TEST_F(RankingScheduleCommands, RankingRefusesABadNumberAndAnUnreadableSite)
{
    EXPECT_EQ(run({ u"ranking"_s, u"6"_s }), 2);
    EXPECT_EQ(run({ u"ranking"_s, u"x"_s }), 2);
    EXPECT_EQ(run({ u"ranking"_s, u"--apply"_s, u"1"_s }), 2);
    qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:9/");
    EXPECT_EQ(run({ u"ranking"_s, u"1"_s }), 1);
    EXPECT_TRUE(m_err.contains("stocks/ranking/tradingValueLow")) << m_err.toStdString();
    qunsetenv("QUOTRA_SITE_ROOT");
}

TEST_F(RankingScheduleCommands, ScheduleAddListDelete)
{
    const QString list = makeList("7203\n");
    m_crontab.setTable("# mine\n5 4 * * * /usr/bin/true\n");
    ASSERT_EQ(run({ u"schedule"_s, u"add"_s, u"--name"_s, u"weekly"_s, u"--days"_s, u"mon,FRI"_s, u"--time"_s,
                  u"18:30"_s, u"--auto"_s, u"--folder"_s, m_work.path() + u"/"_s, list }),
        0)
        << m_err.toStdString();
    const QByteArray table = m_crontab.table();
    EXPECT_TRUE(table.startsWith("# mine\n5 4 * * * /usr/bin/true\n# Quotra\\weekly\n30 18 * * 1,5 '"));
    EXPECT_TRUE(table.contains(
        QByteArray("' '/Auto' '/Folder" + m_work.path().toUtf8() + "' '" + list.toUtf8() + "'\n")));
    ASSERT_EQ(run({ u"schedule"_s, u"list"_s }), 0) << m_err.toStdString();
    EXPECT_TRUE(m_out.contains("weekly  MON,FRI  18:30  yes")) << m_out.toStdString();
    ASSERT_EQ(run({ u"schedule"_s, u"delete"_s, u"weekly"_s }), 0) << m_err.toStdString();
    EXPECT_EQ(m_crontab.table(), "# mine\n5 4 * * * /usr/bin/true\n");
    EXPECT_EQ(run({ u"schedule"_s, u"delete"_s, u"weekly"_s }), 1);
}

TEST_F(RankingScheduleCommands, ScheduleAddChecksItsInput)
{
    const QString list = makeList("7203\n");
    EXPECT_EQ(run({ u"schedule"_s, u"add"_s, u"--days"_s, u"mon"_s, u"--time"_s, u"1:00"_s, list }), 1);
    EXPECT_EQ(run({ u"schedule"_s, u"add"_s, u"--name"_s, u"a"_s, u"--time"_s, u"1:00"_s, list }), 1);
    EXPECT_EQ(run({ u"schedule"_s, u"add"_s, u"--name"_s, u"a"_s, u"--days"_s, u"mon"_s, u"--time"_s,
                  u"1:00"_s, m_work.filePath(u"none.kabu"_s) }),
        1);
    EXPECT_EQ(run({ u"schedule"_s, u"add"_s, u"--name"_s, u"a"_s, u"--days"_s, u"monday"_s, u"--time"_s,
                  u"1:00"_s, list }),
        2);
    EXPECT_EQ(run({ u"schedule"_s, u"add"_s, u"--name"_s, u"a"_s, u"--days"_s, u"mon"_s, u"--time"_s,
                  u"25:00"_s, list }),
        2);
    EXPECT_EQ(run({ u"schedule"_s, u"frobnicate"_s }), 2);
    EXPECT_FALSE(m_crontab.exists());
    m_crontab.setFailure("crontab: denied\n");
    EXPECT_EQ(run({ u"schedule"_s, u"add"_s, u"--name"_s, u"a"_s, u"--days"_s, u"mon"_s, u"--time"_s,
                  u"1:00"_s, list }),
        1);
    EXPECT_TRUE(m_err.contains("crontab: denied")) << m_err.toStdString();
    m_crontab.setFailure({});
    EXPECT_FALSE(m_crontab.exists());
}

} // namespace
