#include <gtest/gtest.h>

#include <QLocale>

#include "EditorTabs.h"
#include "EngineCodes.h"
#include "LambdaProbe.h"
#include "LevelReferenceOrder.h"
#include "LoadZones.h"
#include "StatusTexts.h"
#include "ZoneHighlight.h"

namespace {
const std::vector<bool> kAllTabs(4, true);

TEST(EditorTabsTest, TabsShareTheEdgeAndNeverTakeMoreThanAFifth) {
    EXPECT_EQ(EditorTabs::TabLength(470, 4), 93);
    EXPECT_EQ(EditorTabs::TabLength(470, 2), 93);
    EXPECT_EQ(EditorTabs::TabLength(600, 6), 99);
    EXPECT_EQ(EditorTabs::ScaledThickness(130, 800, 1024), 166);
    EXPECT_EQ(EditorTabs::ScaledThickness(130, 1024, 1024), 130);
    EXPECT_EQ(EditorTabs::FontPoints(800), 10);
    EXPECT_EQ(EditorTabs::FontPoints(1024), 12);
    EXPECT_EQ(EditorTabs::TabText(3, "Livello gas"), QStringLiteral("F3 Livello gas"));
    EXPECT_EQ(EditorTabs::VisiblePosition(3, {true, false, true, true}), 3);
    EXPECT_EQ(EditorTabs::VisiblePosition(1, {true, false, true, true}), 0);
}

TEST(EditorTabsTest, KeysSelectTabsOverTheVisibleOnesWithWrap) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int current;
        std::vector<bool> visible;
        int expected;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Case cases[] = {
        {Qt::Key_F1, none, 3, kAllTabs, 0},
        {Qt::Key_F4, none, 0, kAllTabs, 3},
        {Qt::Key_F5, none, 2, kAllTabs, 0},
        {Qt::Key_F7, none, 0, kAllTabs, 2},
        {Qt::Key_F12, none, 0, kAllTabs, 3},
        {Qt::Key_F4, Qt::AltModifier, 0, kAllTabs, -1},
        {Qt::Key_F2, Qt::ShiftModifier, 0, kAllTabs, 1},
        {Qt::Key_PageUp, none, 0, kAllTabs, 3},
        {Qt::Key_PageUp, none, 2, kAllTabs, 1},
        {Qt::Key_PageDown, none, 3, kAllTabs, 0},
        {Qt::Key_PageDown, Qt::ControlModifier, 1, kAllTabs, 3},
        {Qt::Key_PageUp, Qt::ControlModifier, 2, kAllTabs, 0},
        // A hidden tab is stepped over and not counted by the function keys.
        {Qt::Key_F2, none, 0, {true, false, true, true}, 2},
        {Qt::Key_F4, none, 0, {true, false, true, true}, 0},
        {Qt::Key_PageDown, none, 0, {true, false, true, true}, 2},
        {Qt::Key_PageDown, Qt::ControlModifier, 0, {true, true, true, false}, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 3, {false, true, true, true}, 1},
        {Qt::Key_F1, none, 0, {false, false, false, false}, -1},
        {Qt::Key_Return, none, 0, kAllTabs, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorTabs::TabForKey(c.key, c.modifiers, c.current, c.visible), c.expected)
            << std::hex << c.key << " from " << c.current;
}

TEST(StatusTextsTest, ValuesWithTheLocaleSeparatorAndNoSensorAsNd) {
    const StatusTexts italian({}, QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(italian.Pressure(StatusTexts::PressureHundredths(5)), QStringLiteral("n.d."));
    EXPECT_EQ(italian.Pressure(StatusTexts::PressureHundredths(-15)), QStringLiteral("-0,01bar"));
    EXPECT_EQ(italian.Pressure(123), QStringLiteral("1,23bar"));
    EXPECT_EQ(italian.Temperature(0, -40.5), QStringLiteral("n.d."));
    EXPECT_EQ(italian.Temperature(120, 19.7), QStringLiteral("19°C"));
    EXPECT_EQ(italian.Temperature(200, -3.6), QStringLiteral("-3°C"));
    EXPECT_EQ(italian.Speed(2450), QStringLiteral("2450rpm"));
    EXPECT_EQ(italian.Lambda(0.45098), QStringLiteral("0,45V"));
    EXPECT_EQ(italian.Time(3.84), QStringLiteral("3,84"));
    // Significant digits first, then the decimals.
    EXPECT_EQ(italian.Time(12.345), QStringLiteral("12,35"));
    EXPECT_EQ(italian.Time(123.456), QStringLiteral("123,50"));
    EXPECT_EQ(StatusTexts::Fixed(0, 3, 2, QLocale::c()), QStringLiteral("0.00"));
    EXPECT_EQ(StatusTexts::Fixed(1234.5, 3, 2, QLocale::c()), QStringLiteral("1.23E+03"));
    EXPECT_TRUE(StatusTexts::LambdaLean(0.2, 0.55, false));
    EXPECT_FALSE(StatusTexts::LambdaLean(0.8, 0.55, false));
    EXPECT_TRUE(StatusTexts::LambdaLean(3.0, 2.5, true));
    EXPECT_FALSE(StatusTexts::LambdaLean(2.5, 2.5, true));
}

TEST(EngineCodesTest, IgnitionAndCylinderLists) {
    EXPECT_EQ(EngineCodes::CylinderEntries(30), 2);
    EXPECT_EQ(EngineCodes::CylinderEntries(31), 5);
    // Table positions 0..6 (codes 1, 2, 3, 4, 5, 6, 8): every rev-counter code is "Contagiri".
    const int ignition[][2] = {{-1, -1}, {0, 0}, {1, 1}, {2, 2}, {3, 2}, {6, 2}};
    for (const auto& [position, entry] : ignition)
        EXPECT_EQ(EngineCodes::IgnitionEntry(position), entry) << position;
    const int cylinders[][3] = {{3, 5, 0},  {4, 5, 1},  {5, 5, 2},  {6, 5, 3}, {8, 5, 4},
                                {7, 5, -1}, {6, 2, -1}, {2, 5, -1}, {4, 2, 1}};
    for (const auto& [n, entries, entry] : cylinders)
        EXPECT_EQ(EngineCodes::CylinderEntry(n, entries), entry) << n << " of " << entries;
    for (int entry = 0; entry < 5; ++entry)
        EXPECT_EQ(EngineCodes::CylinderEntry(EngineCodes::CylindersOf(entry), 5), entry);
    EXPECT_EQ(EngineCodes::IgnitionValue(0, 1), 0);
    EXPECT_EQ(EngineCodes::IgnitionValue(1, 1), 1);
    EXPECT_EQ(EngineCodes::IgnitionValue(2, 4), 6);  // position 6: code 8
    EXPECT_EQ(EngineCodes::IgnitionValue(2, -1), EngineCodes::kNone);
    EXPECT_EQ(EngineCodes::IgnitionValue(-1, 1), EngineCodes::kNone);
}

TEST(LambdaProbeTest, EntriesIgnoreBit6AndDefaultsFollowTheTable) {
    EXPECT_EQ(LambdaProbe::EntryOf(2), 0);
    EXPECT_EQ(LambdaProbe::EntryOf(40 | 0x40), 1);
    EXPECT_EQ(LambdaProbe::EntryOf(4 | 0x40), 3);
    EXPECT_EQ(LambdaProbe::EntryOf(136), -1);  // known, but not offered
    EXPECT_EQ(LambdaProbe::EntryOf(7), -1);
    EXPECT_TRUE(LambdaProbe::IsInverted(25));
    EXPECT_FALSE(LambdaProbe::IsInverted(40));
    EXPECT_FALSE(LambdaProbe::DefaultsOf(7).has_value());
    ASSERT_TRUE(LambdaProbe::DefaultsOf(136).has_value());
    const auto first = LambdaProbe::DefaultsOf(2 | 0x40);
    ASSERT_TRUE(first.has_value());
    std::vector<int> codes, bytes;
    for (const LambdaProbe::Default& d : *first) {
        codes.push_back(d.code);
        bytes.push_back(static_cast<int>(d.volts * 51 + 0.5));
    }
    EXPECT_EQ(codes, (std::vector<int>{5, 9, 8, 11, 10, 72, 71}));
    EXPECT_EQ(bytes, (std::vector<int>{28, 15, 31, 15, 31, 5, 41}));
}

TEST(LevelReferenceOrderTest, StrictlyRisingOrFallingOnAnInvertedSensor) {
    EXPECT_TRUE(LevelReferenceOrder::IsValid({80, 100, 120, 140}, false));
    EXPECT_FALSE(LevelReferenceOrder::IsValid({80, 100, 120, 140}, true));
    EXPECT_TRUE(LevelReferenceOrder::IsValid({140, 120, 100, 80}, true));
    EXPECT_FALSE(LevelReferenceOrder::IsValid({80, 100, 100, 140}, false));
    EXPECT_FALSE(LevelReferenceOrder::IsValid({140, 120, 120, 80}, true));
}

TEST(LoadZonesTest, ShiftMovesThePartAndSkipsCellsThatWouldLeaveAByte) {
    // 13 x 6 map in use, every cell 100 but one at 254 in the part.
    const auto cell = [](int r, int c) { return (r == 4 && c == 2) ? 254 : 100; };
    const auto cells = LoadZones::Shift(cell, 12, 6, 1, 1, 3);
    ASSERT_EQ(cells.size(), 14u);  // 15 cells of rows 3-5, columns 1-5, less the one at 254
    for (const LoadZones::Cell& c : cells) {
        EXPECT_GE(c.row, 3);
        EXPECT_LE(c.row, 5);
        EXPECT_GE(c.column, 1);
        EXPECT_EQ(c.value, 103);
    }
    EXPECT_EQ(LoadZones::Shift(cell, 12, 6, 3, 0, -101).size(), 0u);
    EXPECT_EQ(LoadZones::Shift(cell, 12, 6, 3, 0, 0).size(), 4u);  // rows 9-12, column 0
    EXPECT_EQ(LoadZones::PartOf(12, 11), 13);
    EXPECT_EQ(LoadZones::PartOf(13, 0), -1);
    EXPECT_EQ(LoadZones::NewCorrection(120, 20), 127);
    EXPECT_EQ(LoadZones::NewCorrection(-120, -20), -128);
}

TEST(LoadZonesTest, BoundariesAreMidpointsWithOneMoreStepPastTheLast) {
    EXPECT_EQ(LoadZones::SpeedBoundaries({1000, 2000, 3000, 4000, 5000, 6000}),
              (std::vector<int>{0, 1500, 2500, 3500, 4500, 5500, 6500}));
    EXPECT_EQ(LoadZones::SpeedBoundaries({1000, 2001}), (std::vector<int>{0, 1500, 2500}));
    EXPECT_EQ(LoadZones::TimeBoundaries({2.0, 2.5, 3.0}),
              (std::vector<double>{0, 2.25, 2.75, 5.25}));
    const std::vector<int> b{0, 1500, 2500, 3500};
    EXPECT_EQ(LoadZones::IntervalOf(0, b), 0);
    EXPECT_EQ(LoadZones::IntervalOf(1499, b), 0);
    EXPECT_EQ(LoadZones::IntervalOf(1500, b), 1);  // a boundary belongs to the upper column
    EXPECT_EQ(LoadZones::IntervalOf(3500, b), 2);  // past the last boundary: the last column
    EXPECT_EQ(LoadZones::IntervalOf(9000, b), 2);
}

TEST(ZoneHighlightTest, FollowsTheEngineAndReevaluatesEvery51stStillTick) {
    ZoneHighlight h;
    h.SetBoundaries({0, 1500, 2500, 3500, 4500, 5500, 6500},
                    LoadZones::TimeBoundaries(
                        {2.0, 2.5, 3.0, 3.5, 4.5, 6.0, 8.0, 10.0, 12.0, 14.0, 16.0, 18.0}));
    // Nothing read yet: engine stopped, "Carico molto basso" / "Minimo".
    EXPECT_TRUE(h.Update(0, 0));
    EXPECT_EQ(h.Current(), (ZoneHighlight::Part{0, 0}));
    int evaluations = 0;
    for (int tick = 0; tick < 102; ++tick) evaluations += h.Update(0, 0) ? 1 : 0;
    EXPECT_EQ(evaluations, 2);
    EXPECT_TRUE(h.Update(2600, 3.3));  // row 3, column 2
    EXPECT_EQ(h.Current(), (ZoneHighlight::Part{1, 1}));
    EXPECT_TRUE(h.Update(800, 15.0));  // row 10, idle column
    EXPECT_EQ(h.Current(), (ZoneHighlight::Part{3, 0}));
    EXPECT_FALSE(h.Update(800, 15.0));
}
}  // namespace
