#include <gtest/gtest.h>

#include <array>

#include "Catalogue.h"
#include "LiveBlock.h"
#include "OfflineStore.h"

namespace {
using Block = std::array<uint8_t, LiveBlock::kSize>;

constexpr int32_t kTwoProbes = 1040;  // "Flag1" with bit 2 clear
constexpr int32_t kOneProbe = 1044;

void put16(Block& block, int at, int value) {
    block[at] = static_cast<uint8_t>(value & 0xFF);
    block[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// A block whose fields all differ, the unused bytes set, so a field read at the wrong
// offset, width or sign shows.
Block sampleBlock() {
    Block b;
    b.fill(0xFF);
    put16(b, 0, 40000);
    b[2] = 102;
    b[3] = 51;
    put16(b, 6, 1000);
    put16(b, 8, 3125);
    b[11] =
        LiveValues::kOpenLoop | LiveValues::kCutOff | LiveValues::kOnGas | LiveValues::kLambda2On;
    b[12] = 209;
    put16(b, 14, -15);
    b[16] = 127;
    b[21] = 51;
    put16(b, 24, 500);
    put16(b, 28, 65535);
    return b;
}

class LiveBlockDecoding : public ::testing::Test {
  protected:
    OfflineStore offline;
    TStreamDati& data = offline.data;
    ParameterStore& store = data.Store();

    void SetUp() override {
        // Gas sensor type 1 for T1, the built-in curve for T2: each input reads its own curve.
        store.set(Catalogue::kGasSensorType, 0, 1);
        data.ChooseGasCurve();
        store.set(Catalogue::kFlags, 0, kTwoProbes);
    }
    LiveValues decode(const Block& block, int length = LiveBlock::kSize,
                      const LiveValues& previous = {}) {
        return LiveBlock::Decode(block, length, data, previous);
    }
};

TEST_F(LiveBlockDecoding, EveryFieldAtItsOffsetWidthAndSign) {
    const LiveValues v = decode(sampleBlock());
    EXPECT_EQ(v.rpm, 40000);
    EXPECT_DOUBLE_EQ(v.lambda1, 2.0);
    EXPECT_EQ(v.mapRaw, 51);
    EXPECT_NEAR(v.gasMs1, 2.56, 1e-9);  // BaseTempi 2560 ns per count
    EXPECT_NEAR(v.petrolMs1, 8.0, 1e-9);
    EXPECT_TRUE(v.openLoop());
    EXPECT_TRUE(v.cutOff());
    EXPECT_TRUE(v.onGas());
    EXPECT_FALSE(v.lambda1On());
    EXPECT_TRUE(v.lambda2On());
    EXPECT_EQ(v.t1Code, 209);
    EXPECT_NEAR(v.t1, -10.0, 0.01);  // gas sensor type 1: code 209 is its first point
    EXPECT_EQ(v.pressure, -1);       // -15 thousandths, cut toward zero
    EXPECT_EQ(v.t2Code, 127);
    EXPECT_NEAR(v.t2, 25.0, 0.01);
    EXPECT_DOUBLE_EQ(v.lambda2, 1.0);
    EXPECT_NEAR(v.gasMs2, 1.28, 1e-9);
    EXPECT_NEAR(v.petrolMs2, 167.7696, 1e-9);
}

TEST_F(LiveBlockDecoding, PressureAndOpenTemperatureInputs) {
    Block block = sampleBlock();
    block[12] = 0;
    block[16] = 0;
    for (const auto& [thousandths, hundredths] :
         {std::pair{-15, -1}, {5, 0}, {1019, 101}, {-32768, -3276}, {32767, 3276}}) {
        put16(block, 14, thousandths);
        const LiveValues v = decode(block);
        EXPECT_EQ(v.pressure, hundredths) << thousandths;
        EXPECT_EQ(v.t1, 0);  // whatever the curves give for code 0
        EXPECT_EQ(v.t2, 0);
    }
}

TEST_F(LiveBlockDecoding, MapPressureOfTheInternalAndTheExternalSensor) {
    Block block = sampleBlock();
    block[3] = 102;
    store.set(Catalogue::kFlags, 0, kTwoProbes | 0x0008);  // option 12: internal sensor
    EXPECT_NEAR(decode(block).mapBar, 1.10, 1e-12);
    store.set(Catalogue::kFlags, 0, kTwoProbes);
    store.set(Catalogue::kMapSensors, 2, -50);  // "OffsetMapEsterno"
    store.set(Catalogue::kMapSensors, 3, 250);  // "PendenzaMapEsterno"
    EXPECT_NEAR(decode(block).mapBar, (250 * 102 * 2 / 1020.0 - 5) * 0.01, 1e-12);
}

TEST_F(LiveBlockDecoding, BankTwoNeedsTheSecondProbeAndTwentyBytes) {
    LiveValues previous;
    previous.lambda2 = 4.5;
    previous.gasMs2 = 7;
    previous.petrolMs2 = 9;
    struct Case {
        int32_t flag1;
        int length;
        bool taken;
    };
    for (const Case c : {Case{kTwoProbes, 34, true}, Case{kTwoProbes, 20, true},
                         Case{kTwoProbes, 19, false}, Case{kOneProbe, 34, false}}) {
        SCOPED_TRACE(testing::Message() << c.flag1 << " " << c.length);
        store.set(Catalogue::kFlags, 0, c.flag1);
        EXPECT_EQ(LiveBlock::SecondProbe(data), c.flag1 == kTwoProbes);
        const LiveValues v = decode(sampleBlock(), c.length, previous);
        EXPECT_EQ(v.rpm, 40000);  // bank 1 always
        EXPECT_DOUBLE_EQ(v.lambda2, c.taken ? 1.0 : 4.5);
        EXPECT_NEAR(v.gasMs2, c.taken ? 1.28 : 7, 1e-9);
        EXPECT_NEAR(v.petrolMs2, c.taken ? 167.7696 : 9, 1e-9);
    }
}
}  // namespace
