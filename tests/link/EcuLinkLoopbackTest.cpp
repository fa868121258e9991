#include <gtest/gtest.h>

#include <array>

#include "LoopbackEcu.h"
#include "VirtualClock.h"

namespace {
using Form = sim::VirtualEcuOptions::PressureCoefficients;

sim::VirtualEcuOptions withPressure(Form form) {
    sim::VirtualEcuOptions o;
    o.pressureCoefficients = form;
    return o;
}

class LoopbackLink : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(loopback.connect()); }

    VirtualClock clock{1000};
    LoopbackEcu loopback{clock};
    IEcuLink& link = loopback.link();
};
}  // namespace

TEST(LoopbackConnection, HandshakeIdentityReadinessAndDisconnect) {
    VirtualClock clock(5000);
    LoopbackEcu loopback(clock);
    IEcuLink& link = loopback.link();
    int32_t value = -1;
    EXPECT_EQ(link.IsConnected(), 0);
    EXPECT_EQ(link.ReadVariable(2, &value), 0);  // no ECU connected: fails, sends nothing
    EXPECT_EQ(link.WriteValue(528, 1600), 0);
    EXPECT_TRUE(loopback.trace().empty());

    ASSERT_EQ(link.OpenLink(), 1);
    EXPECT_EQ(link.IsConnected(), 1);
    std::array<uint8_t, 4> identity{};
    ASSERT_EQ(link.ReadIdentity(identity.data()), 1);
    EXPECT_EQ(identity, (std::array<uint8_t, 4>{7, 30, 7, 4}));

    // Variable 2 reads 172 once the ECU has booted after the handshake.
    ASSERT_EQ(link.ReadVariable(2, &value), 1);
    EXPECT_EQ(value, 0);
    clock.advance(loopback.ecu().options().bootMs);
    ASSERT_EQ(link.ReadVariable(2, &value), 1);
    EXPECT_EQ(value, 172);

    link.Disconnect();
    EXPECT_EQ(link.IsConnected(), 0);
    EXPECT_FALSE(loopback.ecu().sessionOpen());
    EXPECT_EQ(link.ReadVariable(2, &value), 0);
    EXPECT_EQ(link.Connect(), 1);
    EXPECT_EQ(loopback.traced("Connect").size(), 2u);
    EXPECT_EQ(loopback.traced("Disconnect").size(), 1u);
}

TEST(LoopbackConnection, PermissionDeniedIsReported) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    loopback.transport().setPermissionDenied(true);
    EXPECT_EQ(loopback.link().OpenLink(), 0);
    EXPECT_NE(loopback.ecuLink().lastError().find("permission denied"), std::string::npos);
    loopback.transport().setPermissionDenied(false);
    EXPECT_EQ(loopback.link().OpenLink(), 1);
    EXPECT_TRUE(loopback.ecuLink().lastError().empty());
}

TEST_F(LoopbackLink, ReadsEveryShapeOfVariable) {
    // Bits 3 and 4 of variable 26 hold 2, with ones around them that the field leaves out.
    ASSERT_TRUE(loopback.pokeValue(26, 0b1001'0111));
    struct Case {
        uint32_t id;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {8963, {1044, 1}},                         // 2 x 16-bit
        {633, {2560}},                             // 16-bit scalar
        {21898, {18, 92, 5, -20, 30}},             // 5 x 8-bit signed
        {26488, {100, 500, 100, 500, -108, 542}},  // 6 x 16-bit signed
        {16677, {155, 127, 102, 77}},              // 4 x 8-bit
        {63356, loopback.peek(63356)},             // 15 x 16-bit signed
        {1, {0}},
        {36700186, {2}},  // bit field: width 2, shift 3
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<int32_t> got(c.expected.size() + 1, 0x5555);
        ASSERT_EQ(link.ReadVariable(c.id, got.data()), 1);
        EXPECT_EQ(got.back(), 0x5555) << "wrote past the id's element count";
        got.pop_back();
        EXPECT_EQ(got, c.expected);
    }
    std::vector<int32_t> serial(20);
    ASSERT_EQ(link.ReadVariable(82176, serial.data()), 1);
    EXPECT_EQ(serial[0], 'V');

    // The ECU's own table decides: a wrong width, a wrong count or an unknown variable fail.
    std::vector<int32_t> buffer(40);
    for (uint32_t wrong : {62844u /* 8-bit form on a 16-bit ECU */, 0x13303u /* count 1 */,
                           99u /* unknown */, 0x154u /* a table read whole */})
        EXPECT_EQ(link.ReadVariable(wrong, buffer.data()), 0) << wrong;
    EXPECT_EQ(link.IsConnected(), 1) << "an error reply is an answer, not a lost link";
}

TEST_F(LoopbackLink, WritesReachTheEcuAsAddressed) {
    const int32_t flags[] = {1046, 3};
    EXPECT_EQ(link.WriteVariable(8963, flags), 1);
    EXPECT_EQ(loopback.peek(8963), (std::vector<int32_t>{1046, 3}));

    EXPECT_EQ(link.WriteValue(528, 1651), 1);
    EXPECT_EQ(loopback.peekValue(528), 1651);

    // A bit-field code changes only its field of variable 26.
    loopback.pokeValue(26, 0xC5);
    EXPECT_EQ(link.WriteValue(36700186, (0xC5 & ~0x18) | (2 << 3)), 1);
    EXPECT_EQ(loopback.peekValue(26), (0xC5 & ~0x18) | (2 << 3));

    EXPECT_EQ(link.WriteElement(37, 1, 200), 1);     // no count, no array bit
    EXPECT_EQ(link.WriteElement(0x125, 2, 201), 1);  // no count, array bit kept
    EXPECT_EQ(loopback.peek(16677), (std::vector<int32_t>{155, 200, 201, 77}));
    EXPECT_EQ(link.WriteElement(586, 1, 300), 1);  // 16-bit element
    EXPECT_EQ(loopback.peekValue(586, 1), 300);

    // The correction table (variable 149, signed) and a K-map cell, by row and column.
    EXPECT_EQ(link.WriteElement2(1173, 1, 1, -3), 1);
    EXPECT_EQ(loopback.peekValue(149, 1 * 4 + 1), -3);
    EXPECT_EQ(link.WriteElement2(84, 3, 2, 150), 1);
    EXPECT_EQ(loopback.peekValue(84, 3 * 6 + 2), 150);

    // Refused before anything is sent: a count on an element id, a value that does not fit.
    loopback.clearTrace();
    EXPECT_EQ(link.WriteElement(16677, 0, 1), 0);
    EXPECT_EQ(link.WriteValue(15, 256), 0);
    EXPECT_EQ(link.WriteValue(8963, 1), 0);
    EXPECT_TRUE(loopback.trace().empty());
    // Refused by the ECU: a read-only variable, the customer of a non-blank ECU, bad indexes.
    EXPECT_EQ(link.WriteValue(67, 1), 0);
    EXPECT_EQ(link.WriteValue(64, 18), 0);
    EXPECT_EQ(link.WriteElement(37, 4, 1), 0);
    EXPECT_EQ(link.WriteElement2(1173, 4, 0, 1), 0);
    EXPECT_EQ(link.WriteElement(0x225, 0, 1), 0);  // 16-bit id for 8-bit elements
    EXPECT_EQ(loopback.peek(16677), (std::vector<int32_t>{155, 200, 201, 77}));
}

TEST_F(LoopbackLink, RowsOfTheKMapAndOtherTables) {
    const uint32_t kRow = 6 * 4096 + 0x154;
    std::array<int32_t, 7> row{};
    row.back() = 0x5555;
    ASSERT_EQ(link.ReadRow(kRow, row.data(), 0), 1);
    EXPECT_EQ((std::vector<int32_t>(row.begin(), row.begin() + 6)),
              (std::vector<int32_t>{120, 123, 123, 123, 123, 123}));
    EXPECT_EQ(row.back(), 0x5555);

    const int32_t newRow[] = {100, 101, 102, 103, 104, 105};
    ASSERT_EQ(link.WriteRow(kRow, newRow, 12), 1);
    ASSERT_EQ(link.ReadRow(kRow, row.data(), 12), 1);
    EXPECT_EQ(row[5], 105);
    EXPECT_EQ(loopback.peekValue(84, 12 * 6), 100);
    EXPECT_EQ(link.ReadRow(kRow, row.data(), 13), 0);              // rows 0..12
    EXPECT_EQ(link.ReadRow(12 * 4096 + 0x154, row.data(), 0), 0);  // not the ECU's width

    std::array<int32_t, 4> correction{};
    EXPECT_EQ(link.ReadRow(17813, correction.data(), 3), 1);  // 4 x 4 signed
    std::array<int32_t, 2> injection{};
    EXPECT_EQ(link.ReadRow(9103, injection.data(), 7), 1);  // 8 x 2 16-bit
    EXPECT_EQ(injection[0], loopback.peekValue(143, 14));
}

TEST_F(LoopbackLink, CommandsQueriesAndTheLiveBlock) {
    uint8_t size[2] = {84, 0};
    int32_t status = 0;
    ASSERT_EQ(link.SendCommand(4, size, &status, 2), 1);
    EXPECT_EQ(size[0], 6);
    EXPECT_EQ(size[1], 13);
    uint8_t none[2] = {99, 0};
    EXPECT_EQ(link.SendCommand(4, none, &status, 2), 0);
    EXPECT_EQ(link.SendCommand(77, none, &status, 2), 0);

    EXPECT_EQ(link.QueryElementSize(124, 1), 2);
    EXPECT_EQ(link.QueryElementSize(53, 1), 1);

    std::array<uint8_t, 40> block{};
    block.fill(0xEE);
    int32_t length = 34;
    ASSERT_EQ(link.ReadBlock(1, block.data(), &length), 1);
    EXPECT_EQ(length, 34);
    EXPECT_EQ(block[34], 0xEE);
    block.fill(0xEE);
    length = 10;  // a shorter buffer is never written past
    ASSERT_EQ(link.ReadBlock(1, block.data(), &length), 1);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(block[10], 0xEE);
    length = 0;
    EXPECT_EQ(link.ReadBlock(1, block.data(), &length), 0);
    length = 34;
    EXPECT_EQ(link.ReadBlock(2, block.data(), &length), 0);

    uint8_t boot[4] = {};
    ASSERT_EQ(link.ReadBootCustomer(boot), 1);
    EXPECT_EQ(boot[0], 7);
}

TEST(LoopbackQueries, ElementSizeFollowsTheEcusForm) {
    for (auto [form, expected] :
         {std::pair{Form::Bits8, 1}, {Form::Bits16, 2}, {Form::Absent, 0}}) {
        VirtualClock clock;
        LoopbackEcu loopback(clock, withPressure(form));
        ASSERT_TRUE(loopback.connect());
        EXPECT_EQ(loopback.link().QueryElementSize(124, 1), expected);
        std::vector<int32_t> values(15);
        EXPECT_EQ(loopback.link().ReadVariable(62844, values.data()), form == Form::Bits8);
        EXPECT_EQ(loopback.link().ReadVariable(63356, values.data()), form == Form::Bits16);
    }
}

TEST_F(LoopbackLink, WritesInsideASaveSequenceAreCommittedAtItsEnd) {
    uint8_t zeros[5] = {};
    int32_t status = 1;
    ASSERT_EQ(link.SendCommand(17, zeros, &status, 5), 1);
    EXPECT_EQ(link.WriteValue(528, 2000), 1);
    EXPECT_EQ(loopback.peekValue(528), 2000);
    EXPECT_EQ(loopback.ecu().permanentValue(16), 1500);
    loopback.ecu().powerCycle(clock.nowMs());  // power lost before the end: the write is gone
    EXPECT_EQ(loopback.peekValue(528), 1500);

    clock.advance(loopback.ecu().options().restartMs);
    ASSERT_EQ(link.Connect(), 1);
    status = 1;
    ASSERT_EQ(link.SendCommand(17, zeros, &status, 5), 1);
    EXPECT_EQ(link.WriteValue(528, 2000), 1);
    status = 1;
    ASSERT_EQ(link.SendCommand(18, zeros, &status, 5), 1);
    loopback.ecu().powerCycle(clock.nowMs());
    EXPECT_EQ(loopback.peekValue(528), 2000);
    // Outside a save sequence a write is permanent at once.
    clock.advance(loopback.ecu().options().restartMs);
    ASSERT_EQ(link.Connect(), 1);
    EXPECT_EQ(link.WriteValue(15, 90), 1);
    EXPECT_EQ(loopback.ecu().permanentValue(15), 90);
}

TEST_F(LoopbackLink, ARestartedEcuEndsTheConnection) {
    loopback.ecu().powerCycle(clock.nowMs());
    int32_t value = 0;
    EXPECT_EQ(link.ReadVariable(1, &value), 0);  // silent while it restarts
    EXPECT_EQ(link.IsConnected(), 1) << "one silent request is a slow line, not a lost ECU";
    clock.advance(loopback.ecu().options().restartMs);
    EXPECT_EQ(link.ReadVariable(1, &value), 0);  // "no session"
    EXPECT_EQ(link.IsConnected(), 0);
    EXPECT_EQ(link.Connect(), 1);

    // A restart that the link did not see: the ECU answers "no session" and the link knows.
    loopback.ecu().powerCycle(clock.nowMs());
    clock.advance(loopback.ecu().options().restartMs);
    EXPECT_EQ(link.IsConnected(), 1);
    EXPECT_EQ(link.ReadVariable(1, &value), 0);
    EXPECT_EQ(link.IsConnected(), 0);
}

TEST_F(LoopbackLink, ARepeatedRequestIsAnsweredNotExecutedAgain) {
    // The reply comes after the reply time-out: the link sends again with the same number.
    loopback.setLatencyMs(45);
    loopback.clearTrace();
    EXPECT_EQ(link.WriteElement2(1173, 0, 0, 5), 1);
    EXPECT_EQ(loopback.traced("WriteElement2").size(), 1u);
    EXPECT_GE(loopback.ecu().repeatsAnswered(), 1u);
    EXPECT_EQ(loopback.peekValue(149, 0), 5);
}
