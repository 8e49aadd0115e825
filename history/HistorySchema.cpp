#include "history/HistorySchema.h"

namespace {

// The points are the table's key order: one code's points lie side by side in time order, so
// a code's range is one contiguous read, and a code and a time are stored once.
constexpr HistorySchemaStep kSteps[] = {
    { 1,
        "CREATE TABLE points ("
        " code TEXT NOT NULL,"
        " time INTEGER NOT NULL,"
        " kind INTEGER NOT NULL,"
        " price REAL, change REAL, ratio REAL, volume REAL, turnover REAL,"
        " open REAL, high REAL, low REAL,"
        " PRIMARY KEY (code, time)"
        ") WITHOUT ROWID;" },
    // The 52-week (year-to-date) high and low, which index and foreign pages also give.
    { 2,
        "ALTER TABLE points ADD COLUMN year_high REAL;"
        "ALTER TABLE points ADD COLUMN year_low REAL;" },
    // Price alerts: a note per code and its conditions, each with whether it may fire
    // (armed) and when it last fired at which value.
    { 3,
        "CREATE TABLE alerts ("
        " code TEXT NOT NULL PRIMARY KEY,"
        " note TEXT NOT NULL DEFAULT ''"
        ") WITHOUT ROWID;"
        "CREATE TABLE alert_conditions ("
        " code TEXT NOT NULL,"
        " kind INTEGER NOT NULL,"
        " threshold REAL NOT NULL,"
        " enabled INTEGER NOT NULL DEFAULT 1,"
        " armed INTEGER NOT NULL DEFAULT 1,"
        " fired_time INTEGER,"
        " fired_value REAL,"
        " PRIMARY KEY (code, kind)"
        ") WITHOUT ROWID;" },
};
static_assert(std::size(kSteps) == kHistorySchemaVersion, "one step per version");

constexpr bool stepsInOrder()
{
    for (int i = 0; i < static_cast<int>(std::size(kSteps)); ++i) {
        if (kSteps[i].version != i + 1)
            return false;
    }
    return true;
}
static_assert(stepsInOrder(), "step i leads to version i + 1");

} // namespace

std::span<const HistorySchemaStep> HistorySchemaSteps()
{
    return kSteps;
}
