#include "corelib/TaskbarList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tessera::TaskbarList;

struct Shown {
    double progress;
    bool visible;
    bool urgent;
    bool operator==(const Shown &) const = default;
};

class TaskbarListTest : public ::testing::Test {
protected:
    TaskbarList::Sink sink()
    {
        return [this](double p, bool v, bool u) { shown.push_back({ p, v, u }); };
    }
    std::vector<Shown> shown;
};

TEST_F(TaskbarListTest, NothingHappensBeforeCreate)
{
    TaskbarList bar(sink());
    bar.Start(0, 100);
    bar.Grow(50);
    bar.End();
    EXPECT_TRUE(shown.empty());
}

TEST_F(TaskbarListTest, RunShowsFractionsOfItsTotal)
{
    {
        TaskbarList bar(sink());
        ASSERT_TRUE(bar.Create());
        bar.Start(0, 200);
        bar.Grow(50);
        bar.Grow(150, TaskbarList::Paused);
        bar.End();
    }
    const std::vector<Shown> expected { { 0.0, true, false }, { 0.25, true, false }, { 0.75, true, true },
        { 0.0, false, false }, { 0.0, false, false } };
    EXPECT_EQ(shown, expected) << "the last entry is the clearing on destruction";
}

TEST_F(TaskbarListTest, GrowAtOrBeyondTheTotalIsIgnored)
{
    TaskbarList bar(sink());
    ASSERT_TRUE(bar.Create());
    bar.Start(0, 10);
    bar.Grow(9);
    bar.Grow(10);
    bar.Grow(11);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_DOUBLE_EQ(shown.back().progress, 0.9);
}

TEST_F(TaskbarListTest, ZeroOrNegativeTotalShowsNoFraction)
{
    TaskbarList bar(sink());
    ASSERT_TRUE(bar.Create());
    bar.Start(5, 0);
    bar.Start(-5, -10);
    bar.Grow(-20);
    for (const Shown &s : shown) {
        EXPECT_GE(s.progress, 0.0);
        EXPECT_LE(s.progress, 1.0);
    }
    EXPECT_EQ(bar.total(), -10);
}

TEST(TaskbarListBus, WithoutASessionBusEverythingIsANoOp)
{
    const QByteArray old = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quotra-test-bus");
    TaskbarList bar;
    if (bar.Create())
        GTEST_SKIP() << "a session bus was reached anyway";
    bar.Start(0, 100);
    bar.Grow(10);
    bar.End();
    EXPECT_FALSE(bar.isCreated());
    qputenv("DBUS_SESSION_BUS_ADDRESS", old);
}

} // namespace
