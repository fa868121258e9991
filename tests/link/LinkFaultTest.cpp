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
// right value or fails. Garbled replies are sent for again at once, so nearly all succeed.
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
        EXPECT_GE(tally.ok, 700 * 95 / 100);
        EXPECT_GT(loopback.ecu().repeatsAnswered(), 50u) << "the line was hardly noisy";
    }
}

// One request without a reply is a slow line: it fails alone. The ECU counts as gone after a
// run of them that lasts; then requests fail at once until a handshake succeeds.
TEST(LinkFaults, PulledCableEndsTheConnectionAfterARunOfSilentRequests) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    ASSERT_TRUE(loopback.connect());
    IEcuLink& link = loopback.link();
    int32_t value = 0;
    loopback.pullCable();
    EXPECT_EQ(link.ReadVariable(1, &value), 0);
    EXPECT_EQ(link.IsConnected(), 1);
    loopback.plugCable();
    EXPECT_EQ(link.ReadVariable(1, &value), 1);

    loopback.pullCable();
    const int64_t pulled = clock.nowMs();
    int failures = 0;
    while (link.IsConnected() != 0 && clock.nowMs() - pulled < 10000) {
        const int64_t before = clock.nowMs();
        EXPECT_EQ(link.ReadVariable(1, &value), 0);
        EXPECT_LE(clock.nowMs() - before, 700);
        ++failures;
    }
    EXPECT_GE(failures, ecu::EcuLink::kLostAfterRequests);
    EXPECT_GE(clock.nowMs() - pulled, ecu::EcuLink::kLostAfterMs);
    EXPECT_LE(clock.nowMs() - pulled, ecu::EcuLink::kLostAfterMs + 700);
    const int64_t lost = clock.nowMs();
    EXPECT_EQ(link.ReadVariable(1, &value), 0);
    EXPECT_EQ(clock.nowMs(), lost) << "a lost link still waited on the line";
    EXPECT_EQ(link.Connect(), 0);
    EXPECT_LE(clock.nowMs() - lost, 2000);

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
