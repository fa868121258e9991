#include <gtest/gtest.h>

#include "TemperatureCurve.h"

namespace {
TEST(TemperatureCurve, GasCodesFromTheSensorTables) {
    const TemperatureCurve type0 = TemperatureCurve::Gas(0);
    ASSERT_EQ(type0.codes().size(), 48u);
    EXPECT_EQ(type0.codes()[0], 252);   // 255 x 97.578 / 98.578
    EXPECT_EQ(type0.codes()[16], 127);  // r = 1
    EXPECT_EQ(type0.codes()[17], 113);
    EXPECT_EQ(type0.codes()[47], 2);
    const TemperatureCurve type1 = TemperatureCurve::Gas(1);
    ASSERT_EQ(type1.codes().size(), 27u);
    EXPECT_EQ(type1.codes()[0], 209);  // 255000 x 4.56 / 5560
    EXPECT_EQ(type1.start(), -10);
    const TemperatureCurve type2 = TemperatureCurve::Gas(2);
    ASSERT_EQ(type2.codes().size(), 35u);
    EXPECT_EQ(type2.codes()[0], 243);  // 255 x 48153 / 50353
    EXPECT_EQ(type2.start(), -40);
    EXPECT_EQ(TemperatureCurve::Gas(7), type0);
}

TEST(TemperatureCurve, DegreesToCode) {
    const TemperatureCurve gas = TemperatureCurve::Gas(0);
    EXPECT_EQ(gas.ToCode(25), 127);
    EXPECT_EQ(gas.ToCode(27.5), 120);  // halfway between 127 and 113
    EXPECT_EQ(gas.ToCode(-55), 252);
    EXPECT_EQ(gas.ToCode(-57.5), 252);  // 252 + 0.5 extrapolated, cut
    EXPECT_EQ(gas.ToCode(-100), 255);   // clamped
    EXPECT_EQ(gas.ToCode(400), 2);      // the last two codes are equal: flat beyond the end
    const TemperatureCurve custom(0, 10, {200, 100, 50});
    EXPECT_EQ(custom.ToCode(25), 25);  // beyond the last point: 50 + 0.5 x (50 - 100)
    EXPECT_EQ(custom.ToCode(60), 0);
}

TEST(TemperatureCurve, CodeToDegrees) {
    const TemperatureCurve gas = TemperatureCurve::Gas(0);
    EXPECT_DOUBLE_EQ(gas.ToDegrees(127), 25);
    EXPECT_DOUBLE_EQ(gas.ToDegrees(120), 27.5);
    EXPECT_DOUBLE_EQ(gas.ToDegrees(253), -60);  // above the first code: -(253-252)/(252-251)
    const TemperatureCurve flatEnd(0, 10, {200, 100, 100});
    EXPECT_DOUBLE_EQ(flatEnd.ToDegrees(50), 15);  // equal codes: index i - 0.5
    const TemperatureCurve flatStart(0, 10, {200, 200, 100});
    EXPECT_DOUBLE_EQ(flatStart.ToDegrees(250), -5);
    EXPECT_DOUBLE_EQ(TemperatureCurve(0, 10, {200, 100, 50}).ToDegrees(0), 30);
}

TEST(TemperatureCurve, EngineCurveFromTheStore) {
    const std::vector<int32_t> params{18, 92, 5, -20, 30};
    std::vector<int32_t> codes{231, 224, 216, 206, 195, 183, 170, 156, 142, 128,
                               114, 101, 89,  78,  68,  59,  51,  44,  38,  33,
                               29,  25,  22,  19,  16,  14,  12,  11,  10,  8};
    const auto curve = TemperatureCurve::FromEngineParameters(params, codes);
    ASSERT_TRUE(curve);
    EXPECT_EQ(curve->pullUp(), 4700);
    EXPECT_DOUBLE_EQ(curve->ToDegrees(128), 25);
    EXPECT_EQ(curve->ToCode(-20), 231);
    const std::vector<int32_t> fewPoints{18, 92, 5, -20, 3};
    EXPECT_EQ(TemperatureCurve::FromEngineParameters(fewPoints, codes)->codes().size(), 3u);
    for (const std::vector<int32_t>& bad : {std::vector<int32_t>{18, 92, 5, -20, 1},
                                            {18, 92, 5, -20, 31},
                                            {18, 92, 0, -20, 30},
                                            {18, 92, 5}})
        EXPECT_FALSE(TemperatureCurve::FromEngineParameters(bad, codes));
}
}  // namespace
