#include "app/core/UpdateSchedule.h"
#include "quotes/QuoteRecord.h"

#include "tests/support/RowBuilders.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMinute = 60;
constexpr qint64 kPeriod = 60 * kMinute;
constexpr qint64 kOrigin = 1'800'000'000;

const QStringList kCodes { u"1301"_s, u"6758"_s, u"7203"_s, u"8306"_s, u"9984"_s, u"^DJI"_s };

// A run that fetches the batch's rows one after the other, evenly over `runSeconds` from `start`.
void RunBatch(RecordMap &rows, const QStringList &batch, qint64 start, qint64 runSeconds)
{
    for (qsizetype k = 0; k < batch.size(); ++k)
        rows.at(batch[k])->datetime = start + runSeconds * (k + 1) / batch.size();
}

// Ticks at 0, 60, 120 and 180 minutes of a 60-minute period, with runs of 1 to 5 minutes:
// every row is updated at every tick, not at every second one.
TEST(PeriodicUpdate, EveryRowIsUpdatedAtEveryTick)
{
    for (qint64 runMinutes = 1; runMinutes <= 5; ++runMinutes) {
        RecordMap rows = MakeRows({});
        for (const QString &code : kCodes) {
            rows.emplace(code, std::make_unique<QuoteRecord>(code));
            rows.at(code)->datetime = kOrigin - 2 * kPeriod;
        }
        PeriodicUpdate schedule;
        for (qint64 tick = 0; tick < 4; ++tick) {
            const qint64 now = kOrigin + tick * kPeriod;
            const QStringList due = schedule.Due(rows, kCodes, now, kPeriod);
            EXPECT_EQ(due, kCodes) << "run of " << runMinutes << " min, tick at " << tick * 60 << " min";
            schedule.RunStarted(due, now);
            RunBatch(rows, due, now, runMinutes * kMinute);
        }
    }
}

// A row updated by hand between ticks waits until its period has passed.
TEST(PeriodicUpdate, RowsUpdatedByHandWaitForTheirPeriod)
{
    RecordMap rows = MakeRows({ { u"1301"_s, {}, {}, kOrigin - 2 * kPeriod },
        { u"6758"_s, {}, {}, kOrigin - 2 * kPeriod }, { u"7203"_s, {}, {}, kOrigin - 2 * kPeriod } });
    const QStringList all { u"1301"_s, u"6758"_s, u"7203"_s, u"9999"_s };
    PeriodicUpdate schedule;
    // The tick at 0 runs 1301 and 6758 and is stopped before it reaches 6758, which stays due
    // by its age. 7203 is updated by hand at 10 minutes.
    schedule.RunStarted({ u"1301"_s, u"6758"_s }, kOrigin);
    rows.at(u"1301"_s)->datetime = kOrigin + kMinute;
    rows.at(u"7203"_s)->datetime = kOrigin + 10 * kMinute;
    EXPECT_EQ(schedule.Due(rows, all, kOrigin + kPeriod, kPeriod), QStringList({ u"1301"_s, u"6758"_s }));
    // At 70 minutes 7203 has had its period.
    EXPECT_EQ(
        schedule.Due(rows, { u"7203"_s }, kOrigin + 70 * kMinute + 1, kPeriod), QStringList({ u"7203"_s }));
    // Another list: the last run's rows wait like any other.
    schedule.Forget();
    EXPECT_EQ(schedule.Due(rows, all, kOrigin + kPeriod, kPeriod), QStringList({ u"6758"_s }));
}

} // namespace
