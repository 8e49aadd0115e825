#include "SettingsStoreFixture.h"

#include "app/core/AppSettings.h"
#include "app/core/SearchHistory.h"
#include "corelib/Messages.h"
#include "corelib/RegTree.h"

#include <QDir>
#include <QFile>

namespace {

class MigrationTest : public SettingsStoreTest {
protected:
    void put(const QString &k, const QVariant &v) { store().setValue(k, v); }
    QString text(const QString &k) { return store().value(k).toString(); }
    AppSettings load()
    {
        reopen();
        AppSettings s;
        s.Load(store());
        return s;
    }
};

TEST_F(MigrationTest, NoOlderVersionsLeavesTheStoreEmpty)
{
    MigrateSettings(store());
    EXPECT_TRUE(store().allKeys().isEmpty());
}

TEST_F(MigrationTest, From100ConvertsTheHistoryAndGoesAllTheWayTo400)
{
    // 1.00 kept the history as code-page strings: "トヨタ" in CP932, then "7203".
    const QByteArray cp932("\x83\x67\x83\x88\x83\x5e\x00"
                           "7203\x00",
        12);
    put(QStringLiteral("1.00/Settings/SearchStrs"), cp932);
    put(QStringLiteral("1.00/Settings/RibbonStyle"), 4002);
    put(QStringLiteral("1.00/Settings/Order Info"), QStringLiteral("0,1,2,"));
    put(QStringLiteral("1.00/Settings/Column Align"), QStringLiteral("0,0,1,"));
    put(QStringLiteral("1.00/Recent File List/File1"), QStringLiteral("/tmp/a.kabu"));

    const AppSettings s = load();
    EXPECT_EQ(s.searchStrs, (QStringList { QStringLiteral("トヨタ"), QStringLiteral("7203") }));
    EXPECT_EQ(s.ribbonStyle, 4002);
    // 2.00 -> 3.00 dropped the column lists, so the default layout applies.
    EXPECT_EQ(s.orderInfo, QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"));
    EXPECT_EQ(text(QStringLiteral("4.00/Recent File List/File1")), QStringLiteral("/tmp/a.kabu"))
        << "subkeys travel with the tree";
    for (const char *old : { "1.00", "2.00" })
        EXPECT_FALSE(tessera::RegKeyExists(store(), QLatin1String(old))) << old;
    // Without column lists (dropped on the way to 3.00) the last step writes empty lists
    // and leaves the 3.00 tree behind.
    EXPECT_TRUE(tessera::RegKeyExists(store(), QStringLiteral("3.00")));
}

TEST_F(MigrationTest, From100WithoutHistoryKeepsTheOtherValues)
{
    put(QStringLiteral("1.00/Settings/ZoomRate"), 150);
    MigrateSettings1To2(store());
    EXPECT_EQ(store().value(QStringLiteral("2.00/Settings/ZoomRate")).toInt(), 150);
    EXPECT_FALSE(store().contains(QStringLiteral("2.00/Settings/SearchStrs")));
    EXPECT_FALSE(tessera::RegKeyExists(store(), QStringLiteral("1.00")));
}

TEST_F(MigrationTest, From200DropsTheColumnLists)
{
    put(QStringLiteral("2.00/Settings/Order Info"), QStringLiteral("0,1,"));
    put(QStringLiteral("2.00/Settings/Column Align"), QStringLiteral("0,1,"));
    put(QStringLiteral("2.00/Settings/Column Info"), QStringLiteral("50,60,"));
    put(QStringLiteral("2.00/Settings/SearchStrs"), EncodeSearchStrs({ QStringLiteral("x") }));
    MigrateSettings2To3(store());
    EXPECT_FALSE(store().contains(QStringLiteral("3.00/Settings/Order Info")));
    EXPECT_FALSE(store().contains(QStringLiteral("3.00/Settings/Column Align")));
    EXPECT_FALSE(store().contains(QStringLiteral("3.00/Settings/Column Info")));
    EXPECT_EQ(DecodeSearchStrs(store().value(QStringLiteral("3.00/Settings/SearchStrs")).toByteArray()),
        QStringList { QStringLiteral("x") });
    EXPECT_FALSE(tessera::RegKeyExists(store(), QStringLiteral("2.00")));
}

TEST_F(MigrationTest, From300InsertsTheTradingValueColumn)
{
    put(QStringLiteral("3.00/Settings/Order Info"), QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,"));
    put(QStringLiteral("3.00/Settings/Column Align"), QStringLiteral("0,0,0,2,2,2,2,2,2,2,2,2,2,0,0,"));
    put(QStringLiteral("3.00/Settings/Column Info"),
        QStringLiteral("10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"));
    MigrateSettings3To4(store());
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Order Info")),
        QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"));
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Column Info")),
        QStringLiteral("10,11,12,13,14,15,16,17,90,18,19,20,21,22,23,24,"));
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Column Align")),
        QStringLiteral("0,0,0,2,2,2,2,2,1,2,2,2,2,2,0,0,"));
    EXPECT_FALSE(tessera::RegKeyExists(store(), QStringLiteral("3.00")));
}

TEST_F(MigrationTest, From300NewColumnFollowsTheFirstColumnFromSevenOn)
{
    // Reordered header: 10 stands before 7, so the new column follows 10 (now 11).
    put(QStringLiteral("3.00/Settings/Order Info"), QStringLiteral("0,10,1,7,"));
    put(QStringLiteral("3.00/Settings/Column Align"), QStringLiteral("0,"));
    MigrateSettings3To4(store());
    EXPECT_EQ(
        text(QStringLiteral("4.00/Settings/Order Info")), QStringLiteral("0,11,8,1,7,0,0,0,0,0,0,0,0,0,0,0,"))
        << "15 items, missing ones read as 0";
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Column Info")),
        QStringLiteral("0,0,90,0,0,0,0,0,0,0,0,0,0,0,0,0,"));
}

TEST_F(MigrationTest, From300WithGarbageItemsReadsThemLikeNumbers)
{
    put(QStringLiteral("3.00/Settings/Order Info"), QStringLiteral(" 3x,-2,abc,99999999999999,+9,"));
    put(QStringLiteral("3.00/Settings/Column Align"), QStringLiteral("1,"));
    MigrateSettings3To4(store());
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Order Info")),
        QStringLiteral("3,-2,0,1000001,8,10,0,0,0,0,0,0,0,0,0,0,"))
        << "a huge item is capped before it moves up";
}

TEST_F(MigrationTest, From300WithoutColumnListsWritesEmptyListsAndKeepsTheOldTree)
{
    put(QStringLiteral("3.00/Settings/Order Info"), QStringLiteral("0,1,2,"));
    put(QStringLiteral("3.00/Settings/RibbonStyle"), 4001);
    MigrateSettings3To4(store());
    EXPECT_TRUE(store().contains(QStringLiteral("4.00/Settings/Order Info")));
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Order Info")), QString());
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Column Align")), QString());
    EXPECT_EQ(text(QStringLiteral("4.00/Settings/Column Info")), QString());
    EXPECT_TRUE(tessera::RegKeyExists(store(), QStringLiteral("3.00")));
    EXPECT_EQ(load().orderInfo, QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,"));
}

TEST_F(MigrationTest, MigrationRunsOnlyWhenTheCurrentThemeValueIsMissing)
{
    put(QStringLiteral("4.00/Settings/RibbonStyle"), 4004);
    put(QStringLiteral("3.00/Settings/RibbonStyle"), 4002);
    EXPECT_EQ(load().ribbonStyle, 4004);
    EXPECT_TRUE(tessera::RegKeyExists(store(), QStringLiteral("3.00")));
}

TEST_F(MigrationTest, OldVersionTaskDaysArriveConverted)
{
    put(QStringLiteral("3.00/Settings/Version"), 40);
    put(QStringLiteral("3.00/Settings/TaskWeek"), 1);
    EXPECT_EQ(load().taskWeek, 2u);
}

TEST_F(MigrationTest, UnwritableStoreLeavesTheOldTree)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("cfg"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QSettings broken(folder + QStringLiteral("/Quotra.conf"), QSettings::IniFormat);
    broken.setValue(QStringLiteral("1.00/Settings/ZoomRate"), 150);
    broken.sync();
    // The folder becomes a plain file: the store keeps what it read but cannot write.
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral("-moved")));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    QStringList shown;
    tessera::SetMessageHandler([&shown](const QString &text, unsigned) {
        shown << text;
        return int(tessera::IdOk);
    });
    AppSettings s;
    s.Load(broken);
    tessera::SetMessageHandler({});
    EXPECT_EQ(shown.size(), 1) << "the failed copy is reported once";
    EXPECT_TRUE(tessera::RegKeyExists(broken, QStringLiteral("1.00")));
    EXPECT_FALSE(tessera::RegKeyExists(broken, QStringLiteral("2.00")));
    EXPECT_EQ(s.zoomRate, 100) << "defaults for what was not carried over";
}

} // namespace
