#include "SettingsStoreFixture.h"

#include "app/core/AppSettings.h"
#include "app/core/SearchHistory.h"

#include <QFile>

namespace {

const QString kDefaultList = QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,");

class AppSettingsTest : public SettingsStoreTest {
protected:
    AppSettings load()
    {
        reopen();
        AppSettings s;
        s.Load(store());
        return s;
    }
    void put(const char *name, const QVariant &v)
    {
        store().setValue(QStringLiteral("4.00/Settings/") + QLatin1String(name), v);
    }
    QVariant stored(const char *name)
    {
        return store().value(QStringLiteral("4.00/Settings/") + QLatin1String(name));
    }
};

TEST_F(AppSettingsTest, FirstStartWithoutAnySettingsTakesTheDefaults)
{
    const AppSettings s = load();
    EXPECT_EQ(s.version, 0);
    EXPECT_EQ(s.ribbonStyle, 0);
    EXPECT_TRUE(s.searchGet);
    EXPECT_FALSE(s.searchCase);
    EXPECT_FALSE(s.searchRegular);
    EXPECT_FALSE(s.searchFuzzy);
    EXPECT_EQ(s.customPage, 0);
    EXPECT_EQ(s.taskWeek, 62u) << "the default is already in the new day order";
    EXPECT_EQ(s.rankingNo, 0);
    EXPECT_EQ(s.updateSpan, 3600u);
    EXPECT_TRUE(s.searchStrs.isEmpty());
    EXPECT_EQ(s.zoomRate, 100);
    EXPECT_EQ(s.currentLanguage, 0);
    EXPECT_TRUE(s.logFont.isNull());
    EXPECT_EQ(s.textColor, AppSettings::kSystemColor);
    EXPECT_EQ(s.backColor, AppSettings::kSystemColor);
    EXPECT_EQ(s.orderInfo, kDefaultList);
    EXPECT_EQ(s.columnIndex, kDefaultList);
    EXPECT_EQ(s.columnAlign, QString());
    EXPECT_EQ(s.sortColumn, 1);
    EXPECT_FALSE(s.current.isEmpty()) << "the Documents folder";
    EXPECT_EQ(s.autoFolder, QString());
}

TEST_F(AppSettingsTest, SaveAfterFirstStartWritesVersionAndThemeSoMigrationIsSkippedNextTime)
{
    AppSettings s = load();
    ASSERT_TRUE(s.Save(store()));
    reopen();
    EXPECT_EQ(stored("Version").toInt(), 56);
    EXPECT_EQ(stored("RibbonStyle").toInt(), 0);
    EXPECT_EQ(stored("UpdateSpan").toInt(), 60);
    EXPECT_EQ(stored("LogFont").toByteArray().size(), 92);
    EXPECT_FALSE(store().contains(QStringLiteral("4.00/Settings/SearchStrs")))
        << "an empty history writes nothing";

    // A leftover older tree must not be migrated over the saved settings now.
    store().setValue(QStringLiteral("3.00/Settings/Order Info"), QStringLiteral("0,1,"));
    store().setValue(QStringLiteral("3.00/Settings/Column Align"), QStringLiteral("0,0,"));
    const AppSettings again = load();
    EXPECT_EQ(again.orderInfo, kDefaultList);
    EXPECT_TRUE(store().contains(QStringLiteral("3.00/Settings/Order Info")));
}

TEST_F(AppSettingsTest, EveryMemberSurvivesSaveAndLoad)
{
    AppSettings s = load();
    s.ribbonStyle = 4003;
    s.searchGet = false;
    s.searchCase = true;
    s.searchRegular = true;
    s.searchFuzzy = true;
    s.customPage = 3;
    s.taskWeek = 32768u | 65u;
    s.rankingNo = 5;
    s.updateSpan = 7200;
    s.searchStrs = { QStringLiteral("トヨタ"), QStringLiteral("7203"), QStringLiteral("a,b") };
    s.zoomRate = 250;
    s.currentLanguage = 1041;
    s.logFont.height = -16;
    s.logFont.weight = 700;
    s.logFont.italic = 1;
    s.logFont.setFace(QStringLiteral("IPAGothic"));
    s.textColor = 0x0000FF;
    s.backColor = 0xFFEEDD;
    s.orderInfo = QStringLiteral("0,2,1,");
    s.columnAlign = QStringLiteral("0,1,2,");
    s.columnIndex = QStringLiteral("0,4,2,");
    s.sortColumn = (2 << 16) | 1;
    s.current = QStringLiteral("/home/u/リスト");
    s.autoFolder = QStringLiteral("/srv/out");
    ASSERT_TRUE(s.Save(store()));

    AppSettings r = load();
    EXPECT_EQ(r.version, 56);
    s.version = 56;
    EXPECT_EQ(r.ribbonStyle, s.ribbonStyle);
    EXPECT_EQ(r.searchGet, s.searchGet);
    EXPECT_EQ(r.searchCase, s.searchCase);
    EXPECT_EQ(r.searchRegular, s.searchRegular);
    EXPECT_EQ(r.searchFuzzy, s.searchFuzzy);
    EXPECT_EQ(r.customPage, s.customPage);
    EXPECT_EQ(r.taskWeek, s.taskWeek) << "version 56 keeps the day bits";
    EXPECT_EQ(r.rankingNo, s.rankingNo);
    EXPECT_EQ(r.updateSpan, s.updateSpan);
    EXPECT_EQ(r.searchStrs, s.searchStrs);
    EXPECT_EQ(r.zoomRate, s.zoomRate);
    EXPECT_EQ(r.currentLanguage, s.currentLanguage);
    EXPECT_EQ(r.logFont, s.logFont);
    EXPECT_EQ(r.textColor, s.textColor);
    EXPECT_EQ(r.backColor, s.backColor);
    EXPECT_EQ(r.orderInfo, s.orderInfo);
    EXPECT_EQ(r.columnAlign, s.columnAlign);
    EXPECT_EQ(r.columnIndex, s.columnIndex);
    EXPECT_EQ(r.sortColumn, s.sortColumn);
    EXPECT_EQ(r.current, s.current);
    EXPECT_EQ(r.autoFolder, s.autoFolder);
}

TEST_F(AppSettingsTest, SystemColoursSurviveAsTheSystemColourMark)
{
    AppSettings s = load();
    ASSERT_TRUE(s.Save(store()));
    AppSettings r;
    r.textColor = 0x123456; // what the window would put in from its palette
    reopen();
    r.Load(store());
    EXPECT_EQ(r.textColor, AppSettings::kSystemColor);
}

TEST_F(AppSettingsTest, AbsentColoursKeepWhatTheRecordHeld)
{
    put("RibbonStyle", 0);
    reopen();
    AppSettings r;
    r.textColor = 0x101010;
    r.backColor = 0xF0F0F0;
    r.Load(store());
    EXPECT_EQ(r.textColor, 0x101010u);
    EXPECT_EQ(r.backColor, 0xF0F0F0u);
}

TEST_F(AppSettingsTest, EmptyHistoryLeavesTheStoredOneInPlace)
{
    put("SearchStrs", EncodeSearchStrs({ QStringLiteral("old") }));
    AppSettings s = load();
    s.searchStrs.clear();
    ASSERT_TRUE(s.Save(store()));
    EXPECT_EQ(load().searchStrs, QStringList { QStringLiteral("old") });
}

struct SpanCase {
    QVariant stored;
    quint64 seconds;
    int writtenBack;
};

void PrintTo(const SpanCase &c, std::ostream *os)
{
    if (c.stored.typeId() == QMetaType::QString)
        *os << '"' << c.stored.toString().toStdString() << '"';
    else if (c.stored.typeId() == QMetaType::QByteArray)
        *os << "bytes " << c.stored.toByteArray().toHex(' ').toStdString();
    else
        *os << c.stored.toString().toStdString();
}
class UpdateSpanTest : public AppSettingsTest, public ::testing::WithParamInterface<SpanCase> { };

TEST_P(UpdateSpanTest, MinutesAreKeptAsSeconds)
{
    put("RibbonStyle", 0);
    put("UpdateSpan", GetParam().stored);
    AppSettings s = load();
    EXPECT_EQ(s.updateSpan, GetParam().seconds);
    ASSERT_TRUE(s.Save(store()));
    reopen();
    EXPECT_EQ(stored("UpdateSpan").toInt(), GetParam().writtenBack);
}
INSTANTIATE_TEST_SUITE_P(Spans, UpdateSpanTest,
    ::testing::Values(SpanCase { 1, 60, 1 }, SpanCase { 120, 7200, 120 }, SpanCase { 45, 2700, 45 },
        // Outside the 1-120 minutes the period box allows: the 60-minute default.
        SpanCase { 0, 3600, 60 }, SpanCase { 121, 3600, 60 }, SpanCase { -5, 3600, 60 },
        SpanCase { QStringLiteral("4294967295"), 3600, 60 }, SpanCase { QStringLiteral("ten"), 3600, 60 },
        SpanCase { QByteArray("\x01\x00", 2), 3600, 60 }, SpanCase { QStringLiteral(" 30 "), 1800, 30 }));

struct WeekCase {
    int version;
    quint32 stored;
    quint32 loaded;
};

void PrintTo(const WeekCase &c, std::ostream *os)
{
    *os << "version " << c.version << " days " << c.stored;
}
class TaskWeekTest : public AppSettingsTest, public ::testing::WithParamInterface<WeekCase> { };

TEST_P(TaskWeekTest, DaysBelowVersion56AreConverted)
{
    put("RibbonStyle", 0);
    put("Version", GetParam().version);
    put("TaskWeek", GetParam().stored);
    EXPECT_EQ(load().taskWeek, GetParam().loaded);
}
INSTANTIATE_TEST_SUITE_P(Days, TaskWeekTest,
    ::testing::Values(WeekCase { 40, 1, 2 }, WeekCase { 56, 1, 1 }, WeekCase { 40, 32769, 32770 },
        WeekCase { 40, 64, 1 }, // old Sunday (bit 6) becomes bit 0
        WeekCase { 40, 31, 62 }, // old Monday-Friday
        WeekCase { 40, 0x7F80 | 3, 6 }, // bits 7-14 are dropped
        WeekCase { 0, 127, 127 }, WeekCase { 57, 64, 64 }));

TEST(ConvertOldTaskWeek, EveryOldDayMovesToItsNewBit)
{
    // Old order Monday (bit 0) .. Sunday (bit 6); new order Sunday (bit 0) .. Saturday.
    const quint32 expected[7] = { 2, 4, 8, 16, 32, 64, 1 };
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(ConvertOldTaskWeek(1u << day), expected[day]) << "old bit " << day;
}

TEST_F(AppSettingsTest, LogFontOfAnyOtherLengthReadsAsAllZero)
{
    for (int size : { 0, 1, 91, 93, 184 }) {
        put("LogFont", QByteArray(size, '\x7f'));
        EXPECT_TRUE(load().logFont.isNull()) << size << " bytes";
    }
    put("LogFont", QStringLiteral("not binary"));
    EXPECT_TRUE(load().logFont.isNull());
    QByteArray good(92, '\0');
    good[0] = char(0xF0); // height -16
    good[1] = char(0xFF);
    good[2] = char(0xFF);
    good[3] = char(0xFF);
    put("LogFont", good);
    EXPECT_EQ(load().logFont.height, -16);
}

TEST_F(AppSettingsTest, HistoryOf600OneCharacterStringsWrites257)
{
    AppSettings s = load();
    for (int i = 0; i < 600; ++i)
        s.searchStrs << QString(QChar(u'a' + i % 26));
    ASSERT_TRUE(s.Save(store()));
    reopen();
    const QByteArray written = stored("SearchStrs").toByteArray();
    EXPECT_EQ(written.size(), 1028);
    EXPECT_EQ(load().searchStrs.size(), 257);
}

TEST_F(AppSettingsTest, WrongTypedValuesTakeTheirDefaults)
{
    put("RibbonStyle", QByteArray("\x01\x02", 2));
    put("SearchGet", QStringLiteral("yes"));
    put("CustomPage", QStringLiteral("99999999999999999999"));
    put("RankingNo", 17);
    put("ZoomRate", 0);
    put("TaskWeek", QStringLiteral("Monday"));
    put("SearchStrs", QStringLiteral("plain text is not the binary form"));
    put("Order Info", QByteArray("0,1,2,"));
    put("Column Align", QStringLiteral("left,right"));
    put("SortColumn", QStringLiteral(""));
    put("Current", 42);
    AppSettings s = load();
    EXPECT_EQ(s.ribbonStyle, 0);
    EXPECT_TRUE(s.searchGet);
    EXPECT_EQ(s.customPage, 0);
    EXPECT_EQ(s.rankingNo, 0);
    EXPECT_EQ(s.zoomRate, 100);
    EXPECT_EQ(s.taskWeek, 62u);
    EXPECT_TRUE(s.searchStrs.isEmpty());
    EXPECT_EQ(s.orderInfo, kDefaultList);
    EXPECT_EQ(s.columnAlign, QString());
    EXPECT_EQ(s.sortColumn, 1);
    EXPECT_EQ(s.current, QStringLiteral("42")) << "an INI number is also a text";
}

TEST_F(AppSettingsTest, UnquotedCommaListInTheFileIsReadAsText)
{
    // A hand-edited file: without quotes the INI reader splits the value at its commas.
    reopen();
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[4.00]\nSettings\\RibbonStyle=0\nSettings\\Order%20Info=0,2,1,\n");
    }
    EXPECT_EQ(load().orderInfo, QStringLiteral("0,2,1,"));
}

TEST_F(AppSettingsTest, AbsurdlyLongStringsAreRefused)
{
    put("RibbonStyle", 0);
    put("Order Info", QString(QString(200000, QLatin1Char('1')) + QLatin1Char(',')));
    put("Current", QString(100000, QLatin1Char('x')));
    put("AutoFolder", QString(100000, QLatin1Char('y')));
    put("SearchStrs", EncodeSearchStrs({ QString(100000, QLatin1Char('z')) }));
    AppSettings s = load();
    EXPECT_EQ(s.orderInfo, kDefaultList);
    EXPECT_LE(s.current.size(), 4096);
    EXPECT_EQ(s.autoFolder, QString());
    ASSERT_EQ(s.searchStrs.size(), 1) << "one string crosses the mark and is the last one taken";
}

TEST_F(AppSettingsTest, ZoomOutsideItsRangeIsTheDefault)
{
    for (int z : { 5, 9, 501, 65535, -100 }) {
        put("ZoomRate", z);
        EXPECT_EQ(load().zoomRate, 100) << z;
    }
    for (int z : { 10, 500 }) {
        put("ZoomRate", z);
        EXPECT_EQ(load().zoomRate, z);
    }
}

TEST_F(AppSettingsTest, UpdateRequestSettingsOutsideTheirRangesAreTheDefaults)
{
    EXPECT_EQ(load().parallelRequests, 4) << "absent";
    EXPECT_EQ(load().requestIntervalMs, 0);
    EXPECT_EQ(load().fetchPolicy().retryWaitBudgetSeconds, 300);
    for (const QVariant &v : { QVariant(-1), QVariant(3601), QVariant(QStringLiteral("long")) }) {
        put("RetryWaitBudget", v);
        EXPECT_EQ(load().retryWaitBudgetSeconds, 300) << v.toString().toStdString();
    }
    put("RetryWaitBudget", 0);
    EXPECT_EQ(load().fetchPolicy().retryWaitBudgetSeconds, 0);
    put("RetryWaitBudget", 3600);
    EXPECT_EQ(load().fetchPolicy().retryWaitBudgetSeconds, 3600);
    for (const QVariant &v :
        { QVariant(0), QVariant(9), QVariant(-1), QVariant(QStringLiteral("many")), QVariant(65537) }) {
        put("ParallelRequests", v);
        EXPECT_EQ(load().parallelRequests, 4) << v.toString().toStdString();
    }
    for (const QVariant &v : { QVariant(-1), QVariant(60001), QVariant(QStringLiteral("slow")) }) {
        put("RequestInterval", v);
        EXPECT_EQ(load().requestIntervalMs, 0) << v.toString().toStdString();
    }
    put("ParallelRequests", 1);
    put("RequestInterval", 60000);
    const AppSettings edges = load();
    EXPECT_EQ(edges.fetchPolicy().parallel, 1);
    EXPECT_EQ(edges.fetchPolicy().minIntervalMs, 60000);
    put("ParallelRequests", 8);
    EXPECT_EQ(load().parallelRequests, 8);
}

TEST_F(AppSettingsTest, UpdateRequestSettingsSurviveSaveAndLoad)
{
    AppSettings s;
    s.parallelRequests = 6;
    s.requestIntervalMs = 250;
    s.retryWaitBudgetSeconds = 90;
    ASSERT_TRUE(s.Save(store()));
    const AppSettings back = load();
    EXPECT_EQ(back.parallelRequests, 6);
    EXPECT_EQ(back.requestIntervalMs, 250);
    EXPECT_EQ(back.retryWaitBudgetSeconds, 90);
}

TEST_F(AppSettingsTest, HistorySettingsSurviveSaveAndLoadAndRefuseNegativeDays)
{
    const AppSettings fresh = load();
    EXPECT_TRUE(fresh.historyOptions().keep) << "kept by default";
    EXPECT_EQ(fresh.historyOptions().keepDays, 0) << "for ever by default";
    AppSettings s;
    s.keepHistory = false;
    s.historyDays = 90;
    s.historyFile = QStringLiteral("/srv/履歴.sqlite");
    ASSERT_TRUE(s.Save(store()));
    const HistoryOptions back = load().historyOptions();
    EXPECT_FALSE(back.keep);
    EXPECT_EQ(back.keepDays, 90);
    EXPECT_EQ(back.file, s.historyFile);
    for (const QVariant &v : { QVariant(-1), QVariant(36501), QVariant(QStringLiteral("long")) }) {
        put("HistoryDays", v);
        EXPECT_EQ(load().historyDays, 0) << v.toString().toStdString();
    }
}

TEST_F(AppSettingsTest, GarbageFileLoadsDefaults)
{
    reopen();
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray junk;
        for (int i = 0; i < 5000; ++i)
            junk.append(char((i * 131 + 7) % 256));
        f.write(junk);
    }
    const AppSettings s = load();
    EXPECT_EQ(s.orderInfo, kDefaultList);
    EXPECT_EQ(s.updateSpan, 3600u);
}

} // namespace
