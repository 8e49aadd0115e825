// Layouts come from list files, settings and ".colm" files: whatever their lists hold, the
// header must come out consistent.

#include "view/table/ColumnTable.h"
#include "view/table/FieldList.h"
#include "view/table/HeaderModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

// A list text of random items: numbers in and around the valid ranges, junk, empty items.
QString randomList(std::mt19937 &rng)
{
    std::uniform_int_distribution<int> count(0, 45);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> small(-3, 44);
    QString out;
    for (int n = count(rng); n > 0; --n) {
        switch (kind(rng)) {
        case 0:
            out += QStringLiteral("x");
            break;
        case 1:
            break; // empty item
        case 2:
            out += QString::number(std::uniform_int_distribution<int>()(rng));
            break;
        case 3:
            out += QStringLiteral(" 7 ");
            break;
        default:
            out += QString::number(small(rng));
            break;
        }
        if (kind(rng) != 0)
            out += QLatin1Char(',');
    }
    return out;
}

void expectConsistent(const HeaderModel &h)
{
    ASSERT_GE(h.columnCount(), 2);
    EXPECT_EQ(h.fieldOf(0), 0);
    EXPECT_EQ(h.column(0).width, 0);
    std::set<int> fields;
    for (int c = 1; c < h.columnCount(); ++c) {
        const int f = h.fieldOf(c);
        EXPECT_TRUE(f >= 1 && f <= 39) << f;
        EXPECT_TRUE(fields.insert(f).second) << "field " << f << " shown twice";
        EXPECT_GE(h.column(c).width, 0);
        EXPECT_TRUE(h.column(c).align >= 0 && h.column(c).align <= 2);
    }
    std::vector<int> order = h.order();
    ASSERT_EQ(order.size(), static_cast<size_t>(h.columnCount()));
    EXPECT_EQ(order.front(), 0);
    std::sort(order.begin(), order.end());
    for (size_t i = 0; i < order.size(); ++i)
        EXPECT_EQ(order[i], static_cast<int>(i));
    EXPECT_GE(h.sortColumn(), 0);
    EXPECT_LT(h.sortColumn(), h.columnCount());
}

TEST(LayoutRobustness, RandomListsNeverBreakTheHeader)
{
    std::mt19937 rng(20260716);
    HeaderModel h;
    for (int i = 0; i < 3000; ++i) {
        ColumnLayout layout;
        layout.orderList = randomList(rng);
        layout.indexList = randomList(rng);
        layout.alignList = randomList(rng);
        layout.widthList = randomList(rng);
        layout.packedSort = static_cast<quint32>(rng());
        const ColumnLayout before = h.saveLayout();
        const bool applied = h.applyLayout(layout, true);
        if (!applied) {
            EXPECT_EQ(h.saveLayout().indexList, before.indexList);
        }
        expectConsistent(h);
        // What is saved applies again unchanged.
        HeaderModel again;
        ASSERT_TRUE(again.applyLayout(h.saveLayout(), true));
        EXPECT_EQ(again.saveLayout(), h.saveLayout());
        // Random show, hide and move keep it consistent too.
        const int f = static_cast<int>(rng() % 42) - 1;
        h.toggleField(f, static_cast<int>(rng() % 20) - 2);
        h.moveColumn(static_cast<int>(rng() % 20), static_cast<int>(rng() % 20));
        expectConsistent(h);
    }
}

TEST(LayoutRobustness, RandomFieldListsParseOrFailCleanly)
{
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("0123456789,- x");
    for (int i = 0; i < 5000; ++i) {
        QString text;
        for (int n = static_cast<int>(rng() % 12); n > 0; --n)
            text += alphabet[static_cast<qsizetype>(rng() % alphabet.size())];
        const auto parsed = ParseFieldList(text);
        if (parsed.ok()) {
            std::set<int> seen;
            for (int f : *parsed) {
                EXPECT_TRUE(f >= 1 && f <= 39);
                EXPECT_TRUE(seen.insert(f).second);
            }
        } else {
            EXPECT_FALSE(parsed.error().message.isEmpty());
        }
    }
}

} // namespace
