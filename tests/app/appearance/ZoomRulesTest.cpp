#include "app/core/ZoomRules.h"

#include <gtest/gtest.h>

namespace {

using A = ZoomSliderAction;

TEST(ZoomRules, SliderPositionsOfTheZoom)
{
    EXPECT_EQ(ZoomSliderPosition(100), 500);
    EXPECT_EQ(ZoomSliderPosition(10), 0);
    EXPECT_EQ(ZoomSliderPosition(55), 250);
    EXPECT_EQ(ZoomSliderPosition(300), 750);
    EXPECT_EQ(ZoomSliderPosition(500), 1000);
    EXPECT_EQ(ZoomSliderPosition(700), 1000);
    // 11 %: 1 * 500 / 90 = 5.56 rounds up; 101 %: 500 / 400 = 1.25 rounds down.
    EXPECT_EQ(ZoomSliderPosition(11), 6);
    EXPECT_EQ(ZoomSliderPosition(101), 501);
    // 102 %: 2 * 500 / 400 = 2.5, a half, rounds away from zero.
    EXPECT_EQ(ZoomSliderPosition(102), 503);
    // Below the range the slider stays at its left end.
    EXPECT_EQ(ZoomSliderPosition(5), 0);
}

TEST(ZoomRules, DraggedThumbSnapsNearTheMiddle)
{
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 540), 100); // 132 snaps
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 600), 180);
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 0), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 1000), 500);
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 250), 55);
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 750), 300);
    // The snap's edges: 90 and 150 stay, 91 and 149 become 100.
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 444), 90); // 10 + 444*90/500 = 89.9
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 450), 100); // 91
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 561), 100); // 148.8 -> 149
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 563), 150); // 150.4
    // Positions beyond the slider read as its ends.
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, -40), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::ThumbTrack, 100, 5000), 500);
}

TEST(ZoomRules, LineAndPageSteps)
{
    EXPECT_EQ(ZoomAfterSliderAction(A::LineRight, 95), 100);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineLeft, 95), 80);
    EXPECT_EQ(ZoomAfterSliderAction(A::PageLeft, 95), 85);
    EXPECT_EQ(ZoomAfterSliderAction(A::PageRight, 95), 105);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineLeft, 10), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineLeft, 19), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineLeft, 20), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineLeft, 30), 20);
    EXPECT_EQ(ZoomAfterSliderAction(A::PageLeft, 15), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineRight, 489), 490);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineRight, 490), 500);
    EXPECT_EQ(ZoomAfterSliderAction(A::LineRight, 500), 500);
    EXPECT_EQ(ZoomAfterSliderAction(A::PageRight, 489), 499);
    EXPECT_EQ(ZoomAfterSliderAction(A::PageRight, 490), 500);
    EXPECT_EQ(ZoomAfterSliderAction(A::LeftEnd, 250), 10);
    EXPECT_EQ(ZoomAfterSliderAction(A::RightEnd, 250), 500);
    EXPECT_EQ(ZoomAfterSliderAction(A::Other, 250, 0), 250);
}

TEST(ZoomRules, FontHeightsFollowTheZoom)
{
    EXPECT_EQ(BaseFontHeight(-12, 100), -12);
    EXPECT_EQ(BaseFontHeight(-18, 150), -12);
    EXPECT_EQ(BaseFontHeight(-24, 200), -12);
    // -13 at 110 %: -11.82 - 0.5 = -12.32, truncated towards zero.
    EXPECT_EQ(BaseFontHeight(-13, 110), -12);
    // A base of 0 would divide later zooms by zero.
    EXPECT_EQ(BaseFontHeight(-1, 500), -1);
    EXPECT_EQ(BaseFontHeight(0, 100), -1);
    // A stored zoom of 0 is no zoom: the font is taken at 100 %.
    EXPECT_EQ(BaseFontHeight(-12, 0), -12);

    EXPECT_EQ(ZoomedFontHeight(-12, 100), -12);
    EXPECT_EQ(ZoomedFontHeight(-12, 200), -24);
    EXPECT_EQ(ZoomedFontHeight(-12, 10), -1); // -1.2 - 0.5 = -1.7
    EXPECT_EQ(ZoomedFontHeight(-12, 95), -11); // -11.4 - 0.5 = -11.9
    EXPECT_EQ(ZoomedFontHeight(-13, 150), -20); // -19.5 - 0.5 = -20.0
}

TEST(ZoomRules, SizeBoxSetsTheHeightAndTheZoom)
{
    const std::optional<int> height = FontSizeCommit(QStringLiteral("24"), -12);
    ASSERT_TRUE(height);
    EXPECT_EQ(*height, -24);
    EXPECT_EQ(ZoomFromFontHeight(*height, -12), 200);
    EXPECT_EQ(ZoomText(ZoomFromFontHeight(*height, -12)), QStringLiteral("200%"));
    // No rounding term: 13 / 12 = 108.33 gives 108; 11 / 12 = 91.67 gives 91.
    EXPECT_EQ(ZoomFromFontHeight(-13, -12), 108);
    EXPECT_EQ(ZoomFromFontHeight(-11, -12), 91);
    // The zoom keeps its stored range.
    EXPECT_EQ(ZoomFromFontHeight(-72, -12), 500);
    EXPECT_EQ(ZoomFromFontHeight(-1, -12), 10);
    EXPECT_EQ(ZoomFromFontHeight(-12, 0), 100);
}

TEST(ZoomRules, SizeBoxRefusesOtherInput)
{
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("12"), -12)); // the current size
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("0"), -12));
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("-14"), -12));
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("abc"), -12));
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("10.5"), -12));
    EXPECT_FALSE(FontSizeCommit(QString(), -12));
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("1001"), -12));
    EXPECT_FALSE(FontSizeCommit(QStringLiteral("99999999999"), -12));
    EXPECT_EQ(FontSizeCommit(QStringLiteral(" 9 "), -12), -9);
    EXPECT_EQ(FontSizeText(-24), QStringLiteral("24"));
}

TEST(ZoomRules, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDivRound(5, 1, 2), 3);
    EXPECT_EQ(MulDivRound(-5, 1, 2), -3);
    EXPECT_EQ(MulDivRound(4, 1, 3), 1);
    EXPECT_EQ(MulDivRound(1, 1, 0), 0);
    EXPECT_EQ(MulDivRound(2000000000, 3, 4), 1500000000); // no overflow in the product
}

TEST(ZoomRules, RecentFacesKeepThreeNewestFirst)
{
    QStringList recent;
    recent = AddRecentFace(recent, QStringLiteral("A"));
    recent = AddRecentFace(recent, QStringLiteral("B"));
    recent = AddRecentFace(recent, QStringLiteral("C"));
    EXPECT_EQ(recent, QStringList({ QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("A") }));
    recent = AddRecentFace(recent, QStringLiteral("A"));
    EXPECT_EQ(recent, QStringList({ QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B") }));
    recent = AddRecentFace(recent, QStringLiteral("D"));
    EXPECT_EQ(recent, QStringList({ QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("C") }));
    EXPECT_EQ(AddRecentFace(recent, QString()), recent);
}

} // namespace
