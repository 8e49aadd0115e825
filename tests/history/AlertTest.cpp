// Price alerts: firing once per crossing and arming again, the ratio's two signs, the book in
// the history file shared by every list, and the recorder checking each run.
#include "corelib/LanguageModule.h"
#include "document/CQuotraDoc.h"
#include "history/AlertBook.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"

#include <QTemporaryDir>

#include "tests/support/EventWait.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Steps `c` through `prices` (or ratios), one a second; the indices that fired.
std::vector<int> firings(AlertCondition c, const std::vector<std::optional<double>> &values)
{
    std::vector<int> fired;
    const bool ratio = c.kind == AlertKind::RiseBy || c.kind == AlertKind::FallBy;
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
        const std::optional<double> v = values[static_cast<size_t>(i)];
        if (StepAlert(c, ratio ? std::nullopt : v, ratio ? v : std::nullopt, 100 + i))
            fired.push_back(i);
    }
    return fired;
}

TEST(AlertRules, FireOncePerCrossingAndArmAgainWhenTheConditionStopsHolding)
{
    // Below, at, staying above, back below, crossing again; a missing price changes nothing.
    EXPECT_EQ(firings({ AlertKind::Above, 100 }, { 90, 100, 105, std::nullopt, 120, 95, 101 }),
        (std::vector<int> { 1, 6 }));
    EXPECT_EQ(
        firings({ AlertKind::Below, 100 }, { 110, 99, 98, 100, 101, 100 }), (std::vector<int> { 1, 5 }));
    // A new alert whose condition already holds fires at its first check.
    EXPECT_EQ(firings({ AlertKind::Above, 100 }, { 150, 150 }), (std::vector<int> { 0 }));
    // The ratio in both directions, thresholds given without a sign.
    EXPECT_EQ(firings({ AlertKind::RiseBy, 5 }, { 1, 5, 7, -6, 4.99, 5.01 }), (std::vector<int> { 1, 5 }));
    EXPECT_EQ(
        firings({ AlertKind::FallBy, 5 }, { -1, -5, 7, -6, -4.99, -5.01 }), (std::vector<int> { 1, 3, 5 }));
    AlertCondition off { AlertKind::Above, 1, false };
    EXPECT_TRUE(firings(off, { 5, 0, 5 }).empty());

    AlertCondition c { AlertKind::Above, 100 };
    ASSERT_TRUE(StepAlert(c, 101.5, std::nullopt, 777));
    EXPECT_EQ(c.firedTime, 777);
    EXPECT_EQ(c.firedValue, 101.5);
    EXPECT_FALSE(c.armed);
}

class AlertBookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tessera::LanguageModule::instance().load());
        ASSERT_TRUE(m_dir.isValid());
    }
    std::unique_ptr<HistoryStore> open()
    {
        auto store = HistoryStore::Open(file(), HistoryStore::OpenMode::Create);
        EXPECT_TRUE(store.ok());
        return store ? std::move(*store) : nullptr;
    }
    QString file() const { return m_dir.filePath(u"history.sqlite"_s); }
    static HistoryPoint point(const QString &code, qint64 time, double price, double ratio)
    {
        HistoryPoint p;
        p.code = code;
        p.time = time;
        p.values[HistoryPrice] = price;
        p.values[HistoryRatio] = ratio;
        return p;
    }

    QTemporaryDir m_dir;
};

TEST_F(AlertBookTest, KeepsConditionsAndTheirStateAcrossOpensAndEdits)
{
    {
        auto store = open();
        AlertBook book(*store);
        ASSERT_TRUE(
            book.put({ u"7203"_s, u"buy more"_s,
                         { { AlertKind::RiseBy, 3 }, { AlertKind::Above, 2500 }, { AlertKind::Above, 9 } } })
                .ok());
        const auto fired
            = book.check(std::vector { point(u"7203"_s, 10, 2600, 1), point(u"6758"_s, 10, 1, 50) });
        ASSERT_TRUE(fired.ok());
        ASSERT_EQ(fired->size(), 1u);
        EXPECT_EQ(fired->front().kind, AlertKind::Above);
        EXPECT_EQ(fired->front().value, 2600);
        EXPECT_EQ(fired->front().note, u"buy more"_s);
    }
    // Another list holding the code opens the same file later: the alert has fired already.
    auto store = open();
    AlertBook book(*store);
    auto found = book.find(u"7203"_s);
    ASSERT_TRUE(found.ok() && found->has_value());
    const Alert &alert = **found;
    ASSERT_EQ(alert.conditions.size(), 2u) << "each kind once, in kind order";
    EXPECT_EQ(alert.conditions[0].kind, AlertKind::Above);
    EXPECT_EQ(alert.conditions[0].threshold, 2500);
    EXPECT_FALSE(alert.conditions[0].armed);
    EXPECT_EQ(alert.conditions[0].firedTime, 10);
    EXPECT_TRUE(alert.hasFired());
    EXPECT_TRUE(book.check(std::vector { point(u"7203"_s, 20, 2700, 1) })->empty()) << "still above";

    // The same threshold keeps the state; a new one starts armed and fires at the next check.
    Alert edited = alert;
    edited.note = u"sold"_s;
    ASSERT_TRUE(book.put(edited).ok());
    EXPECT_FALSE((*book.find(u"7203"_s))->conditions[0].armed);
    edited.conditions[0].threshold = 2650;
    ASSERT_TRUE(book.put(edited).ok());
    const auto again = book.check(std::vector { point(u"7203"_s, 30, 2700, 4) });
    ASSERT_EQ(again->size(), 2u) << "the new price and the rise";
    EXPECT_EQ((*again)[1].kind, AlertKind::RiseBy);
    EXPECT_EQ((*again)[1].value, 4);

    ASSERT_TRUE(book.remove(u"7203"_s, AlertKind::Above).ok());
    EXPECT_EQ((*book.find(u"7203"_s))->conditions.size(), 1u);
    EXPECT_EQ((*book.find(u"7203"_s))->note, u"sold"_s);
    EXPECT_TRUE(*book.remove(u"7203"_s, AlertKind::RiseBy));
    EXPECT_FALSE(book.find(u"7203"_s)->has_value()) << "the note goes with the last condition";
    EXPECT_FALSE(*book.remove(u"7203"_s));
    EXPECT_TRUE(book.all()->empty());
}

// Fetches that give every code the price `price` and the ratio "+2.00%".
FetchFactory site(const double &price)
{
    return [&price](const FetchRun &) {
        return [&price](const QString &code, QuoteRecord &result) -> FetchStatus {
            result.code = code;
            result.datetime = QDateTime::currentSecsSinceEpoch();
            result.values.set(SlotPrice, QString::number(price));
            result.values.set(SlotRatio, u"+2.00%"_s);
            return true;
        };
    };
}

TEST_F(AlertBookTest, TheRecorderChecksEveryRunAlsoWhenNoHistoryIsKept)
{
    CQuotraDoc doc;
    RecordMap rows;
    rows.emplace(u"7203"_s, std::make_unique<QuoteRecord>(u"7203"_s));
    doc.replaceRows(std::move(rows));
    double price = 100;
    doc.setFetchFactory(site(price));
    HistoryOptions options;
    options.keep = false;
    options.file = file();
    QStringList reports;
    HistoryRecorder recorder(doc, options, [&](const QString &t) { reports << t; });
    std::vector<AlertFiring> fired;
    QObject::connect(&recorder, &HistoryRecorder::alertsFired,
        [&](const std::vector<AlertFiring> &f) { fired.insert(fired.end(), f.begin(), f.end()); });
    const auto run = [&] {
        bool finished = false;
        const auto c = QObject::connect(&doc, &CQuotraDoc::updateFinished, &doc, [&] { finished = true; });
        doc.StartUpdate({ u"7203"_s });
        const bool ok = ProcessEventsUntil([&] { return finished; });
        QObject::disconnect(c);
        return ok;
    };
    ASSERT_TRUE(run());
    EXPECT_FALSE(QFileInfo::exists(file())) << "no file is made for alerts nobody set";

    ASSERT_TRUE(AlertBook(*open())
                    .put({ u"7203"_s, {}, { { AlertKind::Above, 150 }, { AlertKind::RiseBy, 2 } } })
                    .ok());
    ASSERT_TRUE(run());
    ASSERT_EQ(fired.size(), 1u) << "the rise of 2 % fires, the price does not";
    EXPECT_EQ(fired[0].kind, AlertKind::RiseBy);
    price = 151;
    ASSERT_TRUE(run());
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[1].kind, AlertKind::Above);
    EXPECT_EQ(fired[1].value, 151);
    EXPECT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
    auto store = open();
    EXPECT_EQ(store->stats()->points, 0) << "the history itself stays off";
}

} // namespace
