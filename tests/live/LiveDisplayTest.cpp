#include <gtest/gtest.h>

#include "LambdaDisplay.h"
#include "LiveText.h"
#include "NeedleGeometry.h"
#include "PressureFilter.h"
#include "ThermometerBar.h"

namespace {
const QLocale kItalian(QLocale::Italian, QLocale::Italy);

TEST(NeedleGeometryTest, SweepsClockwiseFromDownLeftToDownRightAndStopsAtFullScale) {
    const NeedleGeometry needle(QRect(10, 20, 200, 200));  // centre (110, 120), R 90
    EXPECT_EQ(needle.Centre(), QPoint(110, 120));
    EXPECT_EQ(needle.Radius(), 90);
    EXPECT_EQ(needle.Length(), 62);  // trunc(90 x 0.7) = trunc(62.99...)
    // 62 x cos 225 degrees = -43.8: both offsets cut toward zero.
    EXPECT_EQ(needle.Tip(0), QPoint(110 - 43, 120 + 43));
    EXPECT_EQ(needle.Tip(3500), QPoint(110, 120 - 62));
    EXPECT_EQ(needle.Tip(7000), QPoint(110 + 43, 120 + 43));
    EXPECT_EQ(needle.Tip(12000), needle.Tip(7000));
    EXPECT_TRUE(needle.Bounds(0).contains(needle.Centre()));
    EXPECT_TRUE(needle.Bounds(0).contains(needle.Tip(0) + QPoint(-5, 5)));
}

TEST(LiveTextTest, SpeedKeepsFourDigitsAndDropsTheLastOne) {
    EXPECT_EQ(LiveText::Speed(12345), QStringLiteral("12340"));
    EXPECT_EQ(LiveText::Speed(7), QStringLiteral("0000"));
    EXPECT_EQ(LiveText::Speed(850), QStringLiteral("0850"));
    EXPECT_EQ(LiveText::Speed(3509), QStringLiteral("3500"));
}

TEST(LiveTextTest, NumbersFollowTheUsersLocale) {
    EXPECT_EQ(LiveText::Fixed(1.02, 3, 2, kItalian), QStringLiteral("1,02"));
    EXPECT_EQ(LiveText::Fixed(1.02, 3, 2, QLocale::c()), QStringLiteral("1.02"));
    EXPECT_EQ(LiveText::Fixed(12.345, 3, 2, kItalian), QStringLiteral("12,30"));
    EXPECT_EQ(LiveText::Fixed(12.345, 4, 2, kItalian), QStringLiteral("12,35"));
    EXPECT_EQ(LiveText::Fixed(0, 3, 2, kItalian), QStringLiteral("0,00"));
    EXPECT_EQ(LiveText::Fixed(-0.456, 3, 2, kItalian), QStringLiteral("-0,46"));
    EXPECT_EQ(LiveText::Whole(37.9), QStringLiteral("37"));
    EXPECT_EQ(LiveText::Whole(-5.0), QStringLiteral("-5"));
    EXPECT_EQ(LiveText::Whole(-5.7), QStringLiteral("-5"));
    EXPECT_EQ(LiveText::General(0.8, kItalian), QStringLiteral("0,8"));
    EXPECT_EQ(LiveText::General(1.6, kItalian), QStringLiteral("1,6"));
    EXPECT_EQ(LiveText::General(5.0, kItalian), QStringLiteral("5"));
}

TEST(PressureFilterTest, TheMeanClimbsWhileTheEmptySlotsFill) {
    PressureFilter filter;
    std::vector<int> means;
    for (int i = 0; i < 12; ++i) means.push_back(filter.Add(102));
    EXPECT_EQ(means, (std::vector<int>{10, 20, 30, 40, 51, 61, 71, 81, 91, 102, 102, 102}));
    // The oldest reading leaves first.
    EXPECT_EQ(filter.Add(2), 92);
    filter.Reset();
    EXPECT_EQ(filter.Mean(), 0);
    EXPECT_EQ(filter.Add(-50), -5);
}

TEST(LambdaDisplayTest, ScalesByProbeType) {
    const struct {
        int position;
        double minimum, maximum;
    } cases[] = {{0, 0, 1}, {1, 0, 5}, {2, 5, 0}, {3, 0.8, 1.6}, {4, 0, 1}, {5, 0, 1}, {-1, 0, 1}};
    for (const auto& c : cases) {
        const LambdaDisplay display(c.position, false, 0.45);
        EXPECT_EQ(display.Minimum(), c.minimum) << c.position;
        EXPECT_EQ(display.Maximum(), c.maximum) << c.position;
    }
}

TEST(LambdaDisplayTest, BarWidthWithinThePanel) {
    const LambdaDisplay normal(0, false, 0.45), falling(2, false, 2.5), narrow(3, false, 1.2);
    EXPECT_EQ(normal.BarWidth(0.5, 100), 50);
    EXPECT_EQ(normal.BarWidth(1.3, 100), 100);   // beyond the scale: full, never wider
    EXPECT_EQ(falling.BarWidth(0.0, 100), 100);  // "5 - 0 Volt": 0 V fills the bar
    EXPECT_EQ(falling.BarWidth(5.0, 100), 0);    // and 5 V empties it
    EXPECT_EQ(falling.BarWidth(1.0, 100), 80);
    EXPECT_EQ(narrow.BarWidth(0.5, 100), 0);   // below the scale: empty
    EXPECT_EQ(narrow.BarWidth(1.0, 100), 24);  // cut, not rounded: 0.19999... x 100 / 0.8
}

TEST(LambdaDisplayTest, ShadeTellsRichFromLeanAndEqualIsRed) {
    using Shade = LambdaDisplay::Shade;
    const LambdaDisplay normal(0, false, 0.45), inverted(0, true, 0.45);
    EXPECT_EQ(normal.ShadeOf(0.45, true), Shade::Red);
    EXPECT_EQ(inverted.ShadeOf(0.45, true), Shade::Red);
    EXPECT_EQ(normal.ShadeOf(0.2, true), Shade::Green);
    EXPECT_EQ(normal.ShadeOf(0.8, true), Shade::Red);
    EXPECT_EQ(inverted.ShadeOf(0.8, true), Shade::Green);
    EXPECT_EQ(inverted.ShadeOf(0.2, true), Shade::Red);
    EXPECT_EQ(normal.ShadeOf(0.2, false), Shade::ButtonFace);
    EXPECT_EQ(inverted.ShadeOf(0.8, false), Shade::ButtonFace);
}

TEST(ThermometerBarTest, EmptyBelowZeroFullAboveAHundred) {
    EXPECT_EQ(ThermometerBar::Height(-5, 150), 0);
    EXPECT_EQ(ThermometerBar::Height(120, 150), 150);
    EXPECT_EQ(ThermometerBar::Height(100, 150), 150);
    EXPECT_EQ(ThermometerBar::Height(37.9, 150), 56);  // 56.85 cut
    EXPECT_EQ(ThermometerBar::Height(0, 150), 0);
}
}  // namespace
