#include "app/core/AppSettings.h"

#include "app/core/SearchHistory.h"
#include "app/core/SettingsValues.h"

#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kGroup = QStringLiteral("4.00/Settings");

// Column lists hold at most 40 entries of a few digits; anything longer is not ours.
constexpr qsizetype kMaxColumnListChars = 1024;
// A folder path longer than the platform's path limit cannot be used.
constexpr qsizetype kMaxPathChars = 4096;
constexpr quint32 kDefaultTaskWeek = 62; // Monday to Friday
constexpr qint32 kDefaultUpdateMinutes = 60;

QString key(const char *name)
{
    return kGroup + QLatin1Char('/') + QLatin1String(name);
}

bool isColumnList(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(-?[0-9]*,)*-?[0-9]*$"));
    return form.match(text).hasMatch();
}

template<typename T> void readNumber(const QSettings &store, const char *name, T &member, T fallback)
{
    const std::optional<quint32> n = ReadNumber(store, key(name));
    member = n ? static_cast<T>(*n) : fallback;
}

void readFlag(const QSettings &store, const char *name, bool &member, bool fallback)
{
    const std::optional<quint32> n = ReadNumber(store, key(name));
    member = n ? *n != 0 : fallback;
}

QString readColumnList(const QSettings &store, const char *name)
{
    const std::optional<QString> text = ReadText(store, key(name), kMaxColumnListChars);
    return text && isColumnList(*text) ? *text : QString();
}

} // namespace

QString AppSettings::defaultColumnList()
{
    return QStringLiteral("0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,");
}

std::unique_ptr<QSettings> AppSettings::OpenStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kestrel"), QStringLiteral("Quotra"));
}

quint32 ConvertOldTaskWeek(quint32 old)
{
    return ((old & 63u) << 1) | ((old >> 6) & 1u) | (old & 32768u);
}

void AppSettings::Load(QSettings &store)
{
    if (!store.contains(key("RibbonStyle")))
        MigrateSettings(store);

    readNumber(store, "Version", version, 0);
    readNumber(store, "RibbonStyle", ribbonStyle, 0);
    readFlag(store, "SearchGet", searchGet, true);
    readFlag(store, "SearchCase", searchCase, false);
    readFlag(store, "SearchRegular", searchRegular, false);
    readFlag(store, "SearchFuzzy", searchFuzzy, false);
    readNumber(store, "FuzzyOptions", fuzzyOptions, 7u);
    fuzzyOptions &= 7u;
    readNumber(store, "CustomPage", customPage, 0);
    // Only page numbers the customisation sheet has.
    if (customPage < 0 || customPage >= kCustomPageCount)
        customPage = 0;

    const std::optional<quint32> storedWeek = ReadNumber(store, key("TaskWeek"));
    taskWeek = storedWeek.value_or(kDefaultTaskWeek);
    readNumber(store, "RankingNo", rankingNo, 0);
    if (rankingNo < 0 || rankingNo >= kRankingCount)
        rankingNo = 0;

    // The period box offers 1-120 minutes; a stored 0 would fire the timer continuously and
    // a huge value overflows it, so anything outside takes the default.
    const std::optional<quint32> minutes = ReadNumber(store, key("UpdateSpan"));
    const qint64 m = minutes ? qint64(qint32(*minutes)) : kDefaultUpdateMinutes;
    updateSpan = quint64(m >= kMinUpdateMinutes && m <= kMaxUpdateMinutes ? m : kDefaultUpdateMinutes) * 60u;

    const std::optional<quint32> zoom = ReadNumber(store, key("ZoomRate"));
    const qint64 z = zoom ? qint64(qint16(quint16(*zoom))) : 100;
    zoomRate = qint16(z >= kMinZoom && z <= kMaxZoom ? z : 100);
    readNumber(store, "Current Language", currentLanguage, quint16(0));

    // The colours keep what they hold (the palette's colours) when nothing usable is stored.
    if (const std::optional<quint32> c = ReadNumber(store, key("TextColor")))
        textColor = *c;
    if (const std::optional<quint32> c = ReadNumber(store, key("BackColor")))
        backColor = *c;

    orderInfo = readColumnList(store, "Order Info");
    columnAlign = readColumnList(store, "Column Align");
    columnIndex = readColumnList(store, "Column Index");
    readNumber(store, "SortColumn", sortColumn, 1);
    const std::optional<QString> folder = ReadText(store, key("Current"), kMaxPathChars);
    current = folder ? *folder : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    autoFolder = ReadText(store, key("AutoFolder"), kMaxPathChars).value_or(QString());
    // Values out of range take the defaults rather than the nearest bound: a stored 0 or a
    // huge number is not a choice the settings could have made.
    const std::optional<quint32> parallel = ReadNumber(store, key("ParallelRequests"));
    const qint64 p = parallel ? qint64(qint32(*parallel)) : FetchPolicy::kDefaultParallel;
    parallelRequests = qint32(
        p >= FetchPolicy::kMinParallel && p <= FetchPolicy::kMaxParallel ? p : FetchPolicy::kDefaultParallel);
    const std::optional<quint32> interval = ReadNumber(store, key("RequestInterval"));
    const qint64 i = interval ? qint64(qint32(*interval)) : 0;
    requestIntervalMs = qint32(i >= 0 && i <= FetchPolicy::kMaxIntervalMs ? i : 0);
    const std::optional<quint32> budget = ReadNumber(store, key("RetryWaitBudget"));
    const qint64 b = budget ? qint64(qint32(*budget)) : FetchPolicy::kDefaultRetryWaitBudgetSeconds;
    retryWaitBudgetSeconds = qint32(b >= 0 && b <= FetchPolicy::kMaxRetryWaitBudgetSeconds
            ? b
            : FetchPolicy::kDefaultRetryWaitBudgetSeconds);

    readFlag(store, "KeepHistory", keepHistory, true);
    const std::optional<quint32> days = ReadNumber(store, key("HistoryDays"));
    const qint64 d = days ? qint64(qint32(*days)) : 0;
    historyDays = qint32(d >= 0 && d <= kMaxHistoryDays ? d : 0);
    historyFile = ReadText(store, key("HistoryFile"), kMaxPathChars).value_or(QString());

    if (orderInfo.isEmpty()) {
        columnIndex = defaultColumnList();
        orderInfo = columnIndex;
    }

    // Days stored before version 56 used the old bit order. The default is already in the
    // new order, so only a stored value is converted.
    if (version < kVersion && storedWeek)
        taskWeek = ConvertOldTaskWeek(taskWeek);

    const std::optional<QByteArray> history = ReadBinary(store, key("SearchStrs"));
    searchStrs = history ? DecodeSearchStrs(*history) : QStringList();
    const std::optional<QByteArray> font = ReadBinary(store, key("LogFont"));
    logFont = font ? LogFont::fromBytes(*font).value_or(LogFont {}) : LogFont {};
}

FetchPolicy AppSettings::fetchPolicy() const
{
    FetchPolicy policy;
    policy.parallel = parallelRequests;
    policy.minIntervalMs = requestIntervalMs;
    policy.retryWaitBudgetSeconds = retryWaitBudgetSeconds;
    return policy.clamped();
}

HistoryOptions AppSettings::historyOptions() const
{
    HistoryOptions options;
    options.keep = keepHistory;
    options.keepDays = historyDays;
    options.file = historyFile;
    return options;
}

bool AppSettings::Save(QSettings &store) const
{
    store.setValue(key("Version"), kVersion);
    store.setValue(key("RibbonStyle"), ribbonStyle);
    store.setValue(key("SearchGet"), int(searchGet));
    store.setValue(key("SearchCase"), int(searchCase));
    store.setValue(key("SearchRegular"), int(searchRegular));
    store.setValue(key("SearchFuzzy"), int(searchFuzzy));
    store.setValue(key("FuzzyOptions"), fuzzyOptions);
    store.setValue(key("CustomPage"), customPage);
    store.setValue(key("TaskWeek"), taskWeek);
    store.setValue(key("RankingNo"), rankingNo);
    store.setValue(key("UpdateSpan"), quint64(updateSpan / 60u));
    // An empty history leaves the stored one in place.
    if (!searchStrs.isEmpty())
        store.setValue(key("SearchStrs"), EncodeSearchStrs(searchStrs));
    store.setValue(key("ZoomRate"), zoomRate);
    store.setValue(key("Current Language"), currentLanguage);
    store.setValue(key("LogFont"), logFont.toBytes());
    store.setValue(key("TextColor"), textColor);
    store.setValue(key("BackColor"), backColor);
    store.setValue(key("Order Info"), orderInfo);
    store.setValue(key("Column Align"), columnAlign);
    store.setValue(key("Column Index"), columnIndex);
    store.setValue(key("SortColumn"), sortColumn);
    store.setValue(key("Current"), current);
    store.setValue(key("AutoFolder"), autoFolder);
    store.setValue(key("ParallelRequests"), parallelRequests);
    store.setValue(key("RequestInterval"), requestIntervalMs);
    store.setValue(key("RetryWaitBudget"), retryWaitBudgetSeconds);
    store.setValue(key("KeepHistory"), int(keepHistory));
    store.setValue(key("HistoryDays"), historyDays);
    store.setValue(key("HistoryFile"), historyFile);
    store.sync();
    return store.status() == QSettings::NoError;
}
