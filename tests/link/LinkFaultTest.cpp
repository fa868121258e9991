#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "LoopbackEcu.h"
#include "VirtualClock.h"

namespace {
struct Tally {
    int ok = 0;
    int failed = 0;
};

// One round of every kind of operation; a success must carry the right value.
void exerciseOnce(LoopbackEcu& loopback, int round, Tally& tally) {
    IEcuLink& link = loopback.link();
    auto count = [&tally](bool ok) { ok ? ++tally.ok : ++tally.failed; };
    if (link.IsConnected() == 0) {
        count(link.Connect() != 0);
        return;
    }
    switch (round % 7) {
        case 0: {
            std::array<int32_t, 6> values{};
            const bool ok = link.ReadVariable(26488, values.data()) != 0;
            if (ok) {
                EXPECT_EQ(values, (std::array<int32_t, 6>{100, 500, 100, 500, -108, 542}));
            }
            count(ok);
            break;
        }
        case 1: {
            const int32_t value = 1000 + 2 * round;
            const bool ok = link.WriteValue(528, value) != 0;
            if (ok) {
                EXPECT_EQ(loopback.peekValue(528), value);
            }
            count(ok);
            break;
        }
        case 2: {
            std::array<int32_t, 6> row{};
            const bool ok = link.ReadRow(6 * 4096 + 0x154, row.data(), 4) != 0;
            for (int c = 0; ok && c < 6; ++c) EXPECT_EQ(row[c], loopback.peekValue(84, 24 + c));
            count(ok);
            break;
        }
        case 3: {
            const int32_t value = round % 100 - 50;
            const bool ok = link.WriteElement2(1173, 2, 1, value) != 0;
            if (ok) {
                EXPECT_EQ(loopback.peekValue(149, 9), value);
            }
            count(ok);
            break;
        }
        case 4: {
            std::array<uint8_t, 4> identity{};
            const bool ok = link.ReadIdentity(identity.data()) != 0;
            if (ok) {
                EXPECT_EQ(identity, (std::array<uint8_t, 4>{7, 30, 7, 4}));
            }
            count(ok);
            break;
        }
        case 5: {
            std::array<uint8_t, 34> block{};
            int32_t length = 34;
            const bool ok = link.ReadBlock(1, block.data(), &length) != 0;
            if (ok) {
                EXPECT_EQ(length, 34);
            }
            count(ok);
            break;
        }
        case 6: {
            uint8_t size[2] = {84, 0};
            int32_t status = 0;
            const bool ok = link.SendCommand(4, size, &status, 2) != 0;
            if (ok) {
                EXPECT_EQ(size[0] * 100 + size[1], 613);
            }
            count(ok);
            break;
        }
    }
}
}  // namespace

// Lost and changed bytes never turn into wrong values: each operation either brings the
// right value or fails, and a failed one leaves the link to reconnect.
TEST(LinkFaults, NoisyLineNeverGivesAWrongValue) {
    struct Case {
        const char* name;
        double drop, corrupt;
    };
    for (const Case c : {Case{"5% dropped", 0.05, 0}, Case{"5% corrupted", 0, 0.05},
                         Case{"2.5% each", 0.025, 0.025}}) {
        SCOPED_TRACE(c.name);
        VirtualClock clock;
        LoopbackEcu loopback(clock);
        ASSERT_TRUE(loopback.connect());
        loopback.setByteFaults(c.drop, c.corrupt);
        Tally tally;
        for (int round = 0; round < 700; ++round) {
            const int64_t before = clock.nowMs();
            exerciseOnce(loopback, round, tally);
            EXPECT_LE(clock.nowMs() - before, 2000) << "an operation took too long";
        }
        std::printf("%s: %d ok, %d failed\n", c.name, tally.ok, tally.failed);
        EXPECT_GT(tally.ok, 200);
        EXPECT_GT(tally.failed, 0);
        EXPECT_GT(loopback.ecu().repeatsAnswered(), 0u);
    }
}

TEST(LinkFaults, PulledCableFailsFastAndReconnectsWhenPluggedBack) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    ASSERT_TRUE(loopback.connect());
    IEcuLink& link = loopback.link();
    loopback.pullCableAfter(static_cast<int>(loopback.ecu().framesReceived()) + 3);
    int32_t value = 0;
    int failures = 0;
    for (int i = 0; i < 6; ++i) {
        const int64_t before = clock.nowMs();
        if (link.ReadVariable(1, &value) == 0) {
            ++failures;
            EXPECT_LE(clock.nowMs() - before, 2000);
        }
    }
    EXPECT_GE(failures, 3);
    EXPECT_EQ(link.IsConnected(), 0);
    const int64_t before = clock.nowMs();
    EXPECT_EQ(link.Connect(), 0);
    EXPECT_LE(clock.nowMs() - before, 2000);

    loopback.plugCable();
    EXPECT_EQ(link.Connect(), 1);
    EXPECT_EQ(link.ReadVariable(1, &value), 1);
}

TEST(LinkFaults, PulledAdapterIsANotConnectedLinkAtOnce) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    ASSERT_TRUE(loopback.connect());
    IEcuLink& link = loopback.link();
    loopback.pullAdapter();
    EXPECT_EQ(link.IsConnected(), 0);
    int32_t value = 0;
    EXPECT_EQ(link.WriteValue(1, 0), 0);
    EXPECT_EQ(link.ReadVariable(1, &value), 0);
    EXPECT_EQ(link.Connect(), 0);
    EXPECT_EQ(link.OpenLink(), 0);
    loopback.plugAdapter();
    EXPECT_EQ(link.Connect(), 1);
    EXPECT_EQ(link.ReadVariable(1, &value), 1);
}

TEST(LinkFaults, RefusedWritesFailAndChangeNothing) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    ASSERT_TRUE(loopback.connect());
    loopback.refuseWrites(true);
    EXPECT_EQ(loopback.link().WriteValue(528, 1700), 0);
    EXPECT_EQ(loopback.link().WriteElement2(1173, 0, 0, 1), 0);
    EXPECT_EQ(loopback.peekValue(528), 1500);
    EXPECT_EQ(loopback.link().IsConnected(), 1);
}

// Line-speed emulation in virtual time: a read of the live block costs its wire time.
TEST(LinkFaults, LineSpeedInVirtualTime) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    ASSERT_TRUE(loopback.connect());
    loopback.setLineBaud(38400);
    std::array<uint8_t, 34> block{};
    int32_t length = 34;
    const int64_t before = clock.nowMs();
    ASSERT_EQ(loopback.link().ReadBlock(1, block.data(), &length), 1);
    const int64_t took = clock.nowMs() - before;
    EXPECT_GE(took, 12);  // 47 bytes at 38400 baud
    EXPECT_LE(took, 16);
}
