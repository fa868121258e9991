#include <gtest/gtest.h>

#include <QCoreApplication>

#include "BuildProfile.h"
#include "OfflineStore.h"
#include "OptionBits.h"
#include "ValueAccess.h"

namespace {
// One case of the conversion table: raw (with the old raw value where the code keeps bits of
// it) to the engineering value, and the engineering value back to raw.
struct Case {
    uint32_t code;
    int32_t raw;
    double x;
    int32_t old = 0;
};

class Conversions : public ::testing::Test {
  protected:
    OfflineStore offline;
    TStreamDati& data = offline.data;
    const ValueAccess::Curves curves{data.GasCurve(), data.EngineCurve()};

    double toX(const Case& c) {
        return ValueAccess::ToEngineering(*ValueAccess::Find(c.code), c.raw, 2560, curves);
    }
    int32_t toRaw(uint32_t code, double x, int32_t old = 0) {
        int32_t raw = -12345;
        EXPECT_TRUE(ValueAccess::ToRaw(*ValueAccess::Find(code), x, old, 2560, curves, raw));
        return raw;
    }
};

TEST_F(Conversions, BothDirections) {
    const Case cases[] = {
        {4, 25, 2},
        {4, 136, 4},
        {5, 51, 1.0},
        {72, 255, 5.0},
        {6, 17, 17},
        {653, 8000, 8000},
        {67, 9, 9},
        {15, 127, 25},
        {117, 113, 30},
        {144, 127, 25},
        {20, 8, 6},
        {20, 0x48, 6, 0x41},
        {52, 3, 4},
        {56, 3, 0.3},
        {118, 50, 5.0},
        {109, 50, 1.0},
        {528, 1651, 1650, 1601},
        {536, 1000, 2.56},
        {658, 4688, 12.00128},
        {571, 10, 128},
        {587, 1600, 1600},
        {22020122, 0x20, 1},
        {24117274, 0x80, 1},
        {36700186, 0x18, 3},
        {50331674, 0x05, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_NEAR(toX(c), c.x, 1e-9);
        EXPECT_EQ(toRaw(c.code, c.x, c.old), c.raw);
    }
}

TEST_F(Conversions, RoundingAndKeptBits) {
    EXPECT_EQ(toRaw(56, 0.3), 3);  // plain double arithmetic
    EXPECT_EQ(toRaw(5, 2.5), 128);
    EXPECT_EQ(toRaw(109, 0.51), 26);
    EXPECT_EQ(toRaw(587, 1599.5), 1600);
    EXPECT_EQ(toRaw(528, 1650, 1601), 1651);
    EXPECT_EQ(toRaw(528, 1651, 1600), 1650);
    EXPECT_EQ(toRaw(20, 3, 0x40), 0x44);
    EXPECT_EQ(toRaw(36700186, 1, 0xFF), 0xEF);
    EXPECT_EQ(toRaw(50331674, 9, 0xF8), 0xF9);  // kept to its three bits
    EXPECT_EQ(toRaw(22020122, 0, 0xFF), 0xDF);
    int32_t raw = 7;
    EXPECT_FALSE(ValueAccess::ToRaw(*ValueAccess::Find(4), 6, 0, 2560, curves, raw));
    EXPECT_FALSE(ValueAccess::ToRaw(*ValueAccess::Find(20), -1, 0, 2560, curves, raw));
    EXPECT_FALSE(ValueAccess::ToRaw(*ValueAccess::Find(6), 1e300, 0, 2560, curves, raw));
    EXPECT_EQ(raw, 7);
}

TEST_F(Conversions, CodesOutsideTheTables) {
    EXPECT_EQ(ValueAccess::ToEngineering(*ValueAccess::Find(4), 7, 2560, curves), -1);
    EXPECT_EQ(ValueAccess::ToEngineering(*ValueAccess::Find(20), 7 | 0x40, 2560, curves), -1);
    EXPECT_EQ(data.GetValue(999), 800000);
    EXPECT_EQ(data.GetElement(999, 0), 800000);
    EXPECT_EQ(data.GetElement(25, 10), 800000);
    EXPECT_EQ(data.SetValue(-3, 1), -1);
    EXPECT_EQ(data.SetValue(999, 1), 0);
    EXPECT_EQ(data.SetElement(999, 0, 1), 0);
}

TEST_F(Conversions, ElementsAndStoredValues) {
    EXPECT_DOUBLE_EQ(data.GetValue(528), 1600);
    EXPECT_DOUBLE_EQ(data.GetValue(15), 25);
    EXPECT_NEAR(data.GetElement(586, 0), 3.0, 0.002);
    EXPECT_DOUBLE_EQ(data.GetElement(151, 1), 5);
    EXPECT_DOUBLE_EQ(data.GetValue(52), 4);
}

TEST_F(Conversions, RefusedWritesChangeOnlyTheModifiedFlag) {
    ASSERT_FALSE(data.IsModified());
    EXPECT_EQ(data.SetValue(528, 2000), 0);
    EXPECT_TRUE(data.IsModified());
    EXPECT_EQ(data.Store().value(22), 1600);
    data.SetModified(false);
    EXPECT_EQ(data.SetElement(586, 0, 5), 0);
    EXPECT_TRUE(data.IsModified());
    EXPECT_EQ(data.Store().value(47, 0), 1172);
    EXPECT_TRUE(data.IsOfficial());
}

TEST(Options, EveryNumberReadsItsBit) {
    OfflineStore offline;
    ParameterStore& store = offline.data.Store();
    const uint16_t flag1[] = {0x0002, 0x0200, 0x0400, 0x0800, 0x1000, 0x4000, 0x8000};
    const uint16_t flag2[] = {0x0001, 0x0002, 0x0004, 0x0008};
    for (int option = 1; option <= 15; ++option) {
        SCOPED_TRACE(option);
        store.set(1, 0, 0);
        store.set(1, 1, 0);
        EXPECT_EQ(offline.data.GetOption(option), 0);
        const int word = (option >= 8 && option <= 11) || option == 15 ? 1 : 0;
        const uint16_t mask = option <= 7    ? flag1[option - 1]
                              : option <= 11 ? flag2[option - 8]
                              : option == 12 ? 0x0008
                              : option == 13 ? 0x2000
                              : option == 14 ? 0x0010
                                             : 0x0010;
        store.set(1, word, mask);
        EXPECT_EQ(offline.data.GetOption(option), 1);
        store.set(1, word, 0xFFFF & ~mask);
        store.set(1, 1 - word, 0xFFFF);
        EXPECT_EQ(offline.data.GetOption(option), 0);
    }
    EXPECT_EQ(offline.data.GetOption(0), 0);
    EXPECT_EQ(offline.data.GetOption(16), 0);
}

TEST(Options, RefusedOptionWriteChangesNothingButTellsTheFuelChange) {
    OfflineStore offline;
    TStreamDati& data = offline.data;
    std::vector<std::pair<int, int>> states;
    QObject::connect(&data, &TStreamDati::mainState,
                     [&](int code, int wParam) { states.emplace_back(code, wParam); });
    EXPECT_FALSE(data.SetOption(1, true));
    EXPECT_EQ(data.GetOption(1), 0);
    EXPECT_FALSE(data.IsModified());
    EXPECT_TRUE(states.empty());  // posted
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(states, (std::vector<std::pair<int, int>>{{5, 0}}));
    EXPECT_FALSE(data.SetOption(2, true));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(states.size(), 1u);
}

TEST(Store, ConstructionAndKey) {
    OfflineStore offline;
    TStreamDati& data = offline.data;
    // No settings yet: the user is told they are reset.
    ASSERT_EQ(offline.dialogs.shown().size(), 1u);
    EXPECT_EQ(offline.dialogs.last().text, TQorGlobalData::kRepairText);
    EXPECT_EQ(offline.dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(offline.dialogs.last().title, BuildProfile::ProductTitle());
    EXPECT_EQ(data.GetDescription(), "Standard");
    EXPECT_EQ(data.GetSerialNumber(), "SerialNumberNotInEcu");
    EXPECT_FALSE(data.IsModified());
    EXPECT_TRUE(data.WriteThrough());
    EXPECT_EQ(data.GrandTotal(), 569);
    EXPECT_EQ(data.BaseTempi(), 2560);
    EXPECT_EQ(data.Key(), BuildProfile::ScrambleKey());
    EXPECT_TRUE(data.SetKey(QString(49, 'k')));
    EXPECT_FALSE(data.SetKey(QString(50, 'x')));
    EXPECT_EQ(data.Key(), QString(49, 'k'));
    EXPECT_EQ(data.TimeToRaw(2.0), 781);
    EXPECT_NEAR(data.RawToTime(781), 2.0, 0.001);
    data.SetIdentityDefaults(31);
    EXPECT_EQ(data.Identity(0), BuildProfile::CustomerCode());
    EXPECT_EQ(data.Identity(1), 31);
}

TEST(Store, VehicleTexts) {
    OfflineStore offline;
    TStreamDati& data = offline.data;
    EXPECT_TRUE(data.SetVehicleText(2, QString(12, 'E')));
    EXPECT_EQ(data.Store().vehicle().euro, QString(10, 'E'));
    EXPECT_TRUE(data.SetVehicleText(5, QString(60, 'c')));
    EXPECT_EQ(data.Store().vehicle().gearbox.size(), 50);
    EXPECT_TRUE(data.IsModified());
    EXPECT_FALSE(data.SetVehicleText(6, "x"));
}
}  // namespace
