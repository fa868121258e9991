#include <gtest/gtest.h>

#include <QTemporaryFile>
#include <array>

#include "BootLoader.h"
#include "Crc32.h"
#include "FrameCodec.h"
#include "FrameParser.h"
#include "LoopbackEcu.h"
#include "Protocol.h"
#include "SensorCurve.h"
#include "ValueCodec.h"
#include "VirtualClock.h"

namespace p = ecu::protocol;

namespace {
sim::VirtualEcuOptions options(void (*change)(sim::VirtualEcuOptions&)) {
    sim::VirtualEcuOptions o;
    change(o);
    return o;
}

std::array<uint8_t, 34> readBlock(IEcuLink& link) {
    std::array<uint8_t, 34> block{};
    int32_t length = 34;
    EXPECT_EQ(link.ReadBlock(1, block.data(), &length), 1);
    return block;
}

int rpmOf(const std::array<uint8_t, 34>& b) { return b[0] | (b[1] << 8); }
int u16(const std::array<uint8_t, 34>& b, int at) { return b[at] | (b[at + 1] << 8); }

std::vector<uint8_t> image(const std::vector<uint8_t>& firmware) {
    std::vector<uint8_t> out;
    ecu::ValueCodec::appendU32(out, static_cast<uint32_t>(firmware.size()));
    for (uint8_t b : firmware) out.push_back(b);
    return out;
}

class VirtualEcuTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(loopback.connect()); }
    // Lets the car run for a while with the live view polling, as the program does.
    std::array<uint8_t, 34> runFor(int64_t ms) {
        std::array<uint8_t, 34> last{};
        for (int64_t t = 0; t < ms; t += 150) {
            clock.advance(150);
            last = readBlock(link);
        }
        return last;
    }

    VirtualClock clock{0};
    LoopbackEcu loopback{clock};
    IEcuLink& link = loopback.link();
};
}  // namespace

// Every variable the configuration moves, with the element count, width and signedness its
// id names: the ECU's own table must accept each one exactly.
TEST_F(VirtualEcuTest, AnswersEveryIdOfTheConfiguration) {
    const uint32_t whole[] = {8963,
                              633,
                              134,
                              21898,
                              123275,
                              12 * 4096 + 0x737,
                              6 * 4096 + 0x73D,
                              6 * 4096 + 0x37F,
                              82176,
                              4,
                              5,
                              6,
                              7,
                              8,
                              9,
                              10,
                              11,
                              49932,
                              15,
                              528,
                              17,
                              530,
                              20,
                              23,
                              536,
                              41241,
                              26,
                              36,
                              16677,
                              41258,
                              37163,
                              52,
                              123189,
                              56,
                              20793,
                              20794,
                              571,
                              572,
                              62,
                              67,
                              68,
                              71,
                              72,
                              9034,
                              587,
                              16721,
                              595,
                              594,
                              41308,
                              37213,
                              109,
                              117,
                              118,
                              119,
                              26488,
                              122,
                              62331,
                              63356,
                              637,
                              638,
                              640,
                              12673,
                              49538,
                              50051,
                              9093,
                              135,
                              136,
                              137,
                              653,
                              654,
                              144,
                              9105,
                              658,
                              659,
                              8596,
                              662,
                              12695,
                              1,
                              2,
                              64};
    for (uint32_t id : whole) {
        SCOPED_TRACE(id);
        const int count = (id & 0x100) ? static_cast<int>((id >> 12) & 0xFF) : 1;
        std::vector<int32_t> buffer(count + 1, 0x5555);
        EXPECT_EQ(link.ReadVariable(id, buffer.data()), 1);
        EXPECT_EQ(buffer.back(), 0x5555);
        EXPECT_EQ(link.WriteVariable(id, buffer.data()), id == 2 || id == 67 || id == 68 ? 0 : 1);
    }
    struct Table {
        uint32_t id;
        int rows;
    };
    for (const Table t :
         {Table{6 * 4096 + 0x154, 13}, Table{12593, 3}, Table{9103, 8}, Table{17813, 4}}) {
        SCOPED_TRACE(t.id);
        std::vector<int32_t> row(16);
        for (int r = 0; r < t.rows; ++r) {
            EXPECT_EQ(link.ReadRow(t.id, row.data(), r), 1);
            EXPECT_EQ(link.WriteRow(t.id, row.data(), r), 1);
        }
        EXPECT_EQ(link.ReadRow(t.id, row.data(), t.rows), 0);
    }
    // A whole read of the serial number gives its text.
    std::vector<int32_t> serial(20);
    ASSERT_EQ(link.ReadVariable(82176, serial.data()), 1);
    EXPECT_EQ(std::string(serial.begin(), serial.begin() + 19), "VE-0030-2401-000123");
}

TEST(VirtualEcuIdentity, OptionsAndABlankEcu) {
    VirtualClock clock;
    LoopbackEcu loopback(clock, options([](sim::VirtualEcuOptions& o) {
                             o.model = 31;
                             o.customer = 253;
                             o.bootCustomer = 18;
                             o.firmwareMajor = 3;
                             o.firmwareMinor = 12;
                         }));
    ASSERT_TRUE(loopback.connect());
    IEcuLink& link = loopback.link();
    std::array<uint8_t, 4> identity{};
    ASSERT_EQ(link.ReadIdentity(identity.data()), 1);
    EXPECT_EQ(identity, (std::array<uint8_t, 4>{253, 31, 12, 3}));
    uint8_t boot[4] = {};
    ASSERT_EQ(link.ReadBootCustomer(boot), 1);
    EXPECT_EQ(boot[0], 18);
    // A blank ECU takes a customer once.
    EXPECT_EQ(link.WriteValue(64, 7), 1);
    ASSERT_EQ(link.ReadIdentity(identity.data()), 1);
    EXPECT_EQ(identity[0], 7);
    EXPECT_EQ(link.WriteValue(64, 18), 0);
}

namespace {
// The ECU's side of the protocol on raw frames: what a client of another make would meet.
class RawEcu {
  public:
    // {code of the reply, its payload}; code 0 when nothing came back.
    std::pair<uint8_t, ecu::Bytes> ask(uint8_t sequence, uint8_t code, const ecu::Bytes& payload,
                                       const ecu::Bytes& before = {}) {
        ecu::Bytes wire = before;
        const ecu::Bytes frame = ecu::FrameCodec::encode(p::kRequestStart, sequence, code, payload);
        wire.insert(wire.end(), frame.begin(), frame.end());
        now_ += 100;
        ecu::Bytes reply = ecu_.receive(wire, now_);
        if (reply.empty()) reply = ecu_.idle(now_ + 21);  // the line pauses
        ecu::FrameParser parser(p::kReplyStart, p::kMaxPayload);
        parser.feed(reply);
        const auto got = parser.next();
        if (!got) return {0, {}};
        EXPECT_EQ(got->sequence, sequence);
        return {got->code, got->payload};
    }
    ecu::Bytes hello(uint8_t version) {
        return ask(0, p::kHello, {p::kHelloMagic0, p::kHelloMagic1, version}).second;
    }
    uint8_t error(const std::pair<uint8_t, ecu::Bytes>& reply) {
        return reply.first == p::kErrorReply && reply.second.size() == 2 ? reply.second[1] : 0;
    }
    int64_t now_ = 0;
    sim::VirtualEcu ecu_;
};

// WriteValue of the customer code (variable 64, 8 bits).
ecu::Bytes customer(uint8_t code) { return {64, 0, 0, 0, code}; }
}  // namespace

TEST(VirtualEcuSession, RulesAClientMeets) {
    RawEcu ecu;
    // A handshake asking another version is answered with the ECU's own; no session opens.
    EXPECT_EQ(ecu.hello(2), (ecu::Bytes{p::kProtocolVersion, p::kMaxPayload, 0}));
    EXPECT_EQ(ecu.error(ecu.ask(1, p::kIdentity, {})), p::kNoSession);
    EXPECT_EQ(ecu.hello(p::kProtocolVersion)[0], p::kProtocolVersion);
    EXPECT_EQ(ecu.ask(2, p::kIdentity, {}).first, p::kIdentity | p::kReplyFlag);
    // Sequence 0 belongs to the handshake: another request with it is refused, not executed.
    EXPECT_EQ(ecu.error(ecu.ask(0, p::kWriteValue, customer(18))), p::kBadPayload);
    // The customer code: the same again succeeds, another is read only.
    EXPECT_EQ(ecu.ask(3, p::kWriteValue, customer(7)).first, p::kWriteValue | p::kReplyFlag);
    EXPECT_EQ(ecu.error(ecu.ask(4, p::kWriteValue, customer(18))), p::kReadOnly);
    // A request behind a false start (a lying length) is answered once the line pauses.
    const auto behind = ecu.ask(5, p::kIdentity, {}, {p::kRequestStart, 200, 9, 9});
    EXPECT_EQ(behind.first, p::kIdentity | p::kReplyFlag);
    EXPECT_EQ(behind.second.at(0), 7);
    // After a goodbye every session request gets error 9 until the next handshake.
    EXPECT_EQ(ecu.ask(6, p::kBye, {}).first, p::kBye | p::kReplyFlag);
    EXPECT_EQ(ecu.error(ecu.ask(7, p::kIdentity, {})), p::kNoSession);
    EXPECT_EQ(ecu.ask(8, p::kBootCustomer, {}).first, p::kBootCustomer | p::kReplyFlag);
    ecu.hello(p::kProtocolVersion);
    EXPECT_EQ(ecu.ask(9, p::kIdentity, {}).first, p::kIdentity | p::kReplyFlag);
}

TEST(VirtualEcuStatus, InitialisationRequestAndReset) {
    VirtualClock clock;
    LoopbackEcu loopback(clock, options([](sim::VirtualEcuOptions& o) { o.initRequest = true; }));
    ASSERT_TRUE(loopback.connect());
    IEcuLink& link = loopback.link();
    int32_t status = 0;
    ASSERT_EQ(link.ReadVariable(1, &status), 1);
    EXPECT_EQ(status & 1, 1);
    ASSERT_EQ(link.WriteValue(1, status & ~1), 1);
    ASSERT_EQ(link.ReadVariable(1, &status), 1);
    EXPECT_EQ(status & 1, 0);

    // Setting the request (the reset from the PC) brings the factory data back.
    ASSERT_EQ(link.WriteValue(528, 2200), 1);
    ASSERT_EQ(link.WriteValue(1, status | 1), 1);
    EXPECT_EQ(loopback.peekValue(528), 1500);
    EXPECT_EQ(loopback.peekValue(1) & 1, 1);
}

TEST_F(VirtualEcuTest, TheCarWarmsUpIdlesRevsAndChangesOverAtItsThreshold) {
    ASSERT_EQ(link.WriteValue(528, 6000), 1);  // never reached: stays on petrol
    const auto cold = readBlock(link);
    std::array<uint8_t, 34> warm{};
    bool cutOff = false, gas = false;
    int lean = 0, rich = 0, low = 1 << 20, high = 0;
    const int ref = loopback.peekValue(5);
    for (int64_t t = 0; t < 150'000; t += 150) {
        clock.advance(150);
        warm = readBlock(link);
        cutOff |= (warm[11] & sim::LiveData::kCutOff) != 0;
        gas |= (warm[11] & 0x10) != 0;
        if (t > 60'000 && (warm[11] & 0x20)) (warm[2] < ref ? lean : rich)++;
        low = std::min(low, rpmOf(warm));
        high = std::max(high, rpmOf(warm));
    }
    EXPECT_LT(warm[12], cold[12]) << "the reducer warms up: its code falls";
    EXPECT_LT(warm[16], cold[16]) << "so does the coolant";
    EXPECT_TRUE(cutOff);
    EXPECT_FALSE(gas);
    EXPECT_GT(lean, 20);
    EXPECT_GT(rich, 20);
    EXPECT_LT(low, 900);
    EXPECT_GT(high, 3000);

    // A lower threshold, written through the link: the car changes over when it passes it.
    ASSERT_EQ(link.WriteValue(528, 2000), 1);
    std::array<uint8_t, 34> block{};
    for (int i = 0; i < 600 && !(block[11] & 0x10); ++i) {
        clock.advance(50);
        block = readBlock(link);
    }
    ASSERT_TRUE(block[11] & 0x10);
    EXPECT_GE(rpmOf(block), 1950);
    clock.advance(150);
    block = readBlock(link);
    if (!(block[11] & sim::LiveData::kCutOff)) {
        EXPECT_GT(u16(block, 6), u16(block, 8)) << "gas time = petrol time x K";
    }
    const int pressure = static_cast<int16_t>(u16(block, 14));
    EXPECT_GT(pressure, 900);
    EXPECT_LT(pressure, 1250);
}

TEST(VirtualEcuLive, ChangeoverAtStartWhenTheThresholdIsZero) {
    VirtualClock clock;
    LoopbackEcu loopback(clock);
    ASSERT_TRUE(loopback.connect());
    ASSERT_EQ(loopback.link().WriteValue(528, 0), 1);
    ASSERT_EQ(loopback.link().WriteValue(15, 255), 1);  // any reducer temperature will do
    clock.advance(3000);
    EXPECT_TRUE(readBlock(loopback.link())[11] & 0x10);
    // One probe only (Flag1 bit 2 set): no lambda 2 indication.
    EXPECT_FALSE(readBlock(loopback.link())[11] & 0x40);
}

TEST_F(VirtualEcuTest, CalibrationRunsItsStepsWhileTheEngineHoldsTheTargetSpeed) {
    runFor(10'000);
    uint8_t bytes[2] = {'0', '0'};
    int32_t status = 0;
    ASSERT_EQ(link.SendCommand(19, bytes, &status, 2), 1);
    int last = 0;
    bool heldTarget = false;
    for (int i = 0; i < 400 && last != 12; ++i) {
        const auto block = runFor(150);
        uint8_t reply[2] = {'0', '0'};
        status = 0;
        ASSERT_EQ(link.SendCommand(20, reply, &status, 2), 1);
        EXPECT_EQ(reply[1], 0);
        EXPECT_GE(reply[0], last);
        last = reply[0];
        if (last >= 3 && last <= 9) {
            EXPECT_NEAR(rpmOf(block), 2800, 120);
            EXPECT_TRUE(block[11] & 0x80);
            heldTarget = true;
        }
    }
    ASSERT_EQ(last, 12);
    EXPECT_TRUE(heldTarget);

    const int32_t before = loopback.peekValue(84, 5 * 6 + 2);
    uint8_t finish[2] = {0, 0};
    status = 1;
    ASSERT_EQ(link.SendCommand(18, finish, &status, 2), 1);
    EXPECT_EQ(loopback.peekValue(84, 5 * 6 + 2), before + 2);
    int32_t value = 0;
    EXPECT_EQ(link.ReadVariable(1, &value), 0) << "the ECU restarts as after a battery connection";
    clock.advance(loopback.ecu().options().restartMs);
    EXPECT_EQ(link.Connect(), 1);
}

TEST(VirtualEcuCalibration, ErrorBitsAndAbort) {
    VirtualClock clock;
    LoopbackEcu loopback(clock,
                         options([](sim::VirtualEcuOptions& o) { o.calibrationErrors = 0x06; }));
    ASSERT_TRUE(loopback.connect());
    IEcuLink& link = loopback.link();
    uint8_t bytes[2] = {'0', '0'};
    int32_t status = 0;
    ASSERT_EQ(link.SendCommand(19, bytes, &status, 2), 1);  // at 0 s the engine is off too
    clock.advance(2500);
    uint8_t reply[2] = {'0', '0'};
    ASSERT_EQ(link.SendCommand(20, reply, &status, 2), 1);
    EXPECT_EQ(reply[0], 1);
    EXPECT_EQ(reply[1], 0x06 | 0x08);

    ASSERT_EQ(link.SendCommand(21, bytes, &status, 2), 1);
    EXPECT_FALSE(loopback.ecu().calibrating());
    EXPECT_EQ(link.SendCommand(20, reply, &status, 2), 0) << "restarting";
}

TEST_F(VirtualEcuTest, ProgrammingTakesTheImageAndItsVersionThenAsksForInitialisation) {
    std::vector<uint8_t> firmware(1000);
    for (size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<uint8_t>(i * 7);
    const uint8_t tag[] = {'F', 'W', 'V', 'E', 'R', 5, 2};
    std::copy(std::begin(tag), std::end(tag), firmware.begin() + 300);
    const auto img = image(firmware);

    EXPECT_EQ(link.ProgramFromBuffer(img.data(), 2, 0, 1), p::kProgramNotReady);
    link.Disconnect();
    link.BeginProgramming();
    auto bad = img;
    bad[2] = 0x7F;  // a length far beyond any firmware
    EXPECT_EQ(link.ProgramFromBuffer(bad.data(), 2, 0, 1), p::kProgramBadImage);
    EXPECT_EQ(link.ProgramFromBuffer(img.data(), 2, 0, 1), p::kProgramOk);
    link.EndProgramming();
    EXPECT_EQ(loopback.ecu().values(0).size(), 20u);

    clock.advance(loopback.ecu().options().restartMs);
    ASSERT_EQ(link.Connect(), 1);
    std::array<uint8_t, 4> identity{};
    ASSERT_EQ(link.ReadIdentity(identity.data()), 1);
    EXPECT_EQ(identity[3], 5);
    EXPECT_EQ(identity[2], 2);
    int32_t status = 0;
    ASSERT_EQ(link.ReadVariable(1, &status), 1);
    EXPECT_EQ(status & 1, 1);

    // The same image from a file: the length header, then the bytes.
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(reinterpret_cast<const char*>(img.data()), static_cast<qint64>(img.size()));
    file.close();
    link.BeginProgramming();
    EXPECT_EQ(link.ProgramFromFile(file.fileName().toLocal8Bit().constData(), 2, 0, 1), 0);
    EXPECT_EQ(link.ProgramFromFile("/nonexistent/image.bin", 2, 0, 1), p::kProgramBadImage);
}

TEST(VirtualEcuProgramming, ResultsOnRequest) {
    const auto img = image(std::vector<uint8_t>(300, 0x42));
    for (int32_t wanted : {1, 2, -1, -2, -3, -4, -5, -1000, -1234}) {
        SCOPED_TRACE(wanted);
        VirtualClock clock;
        LoopbackEcu loopback(clock);
        loopback.ecu().setProgramResult(wanted, 2);
        IEcuLink& link = loopback.link();
        link.BeginProgramming();
        EXPECT_EQ(link.ProgramFromBuffer(img.data(), 2, 0, 1), wanted);
        clock.advance(loopback.ecu().options().restartMs);
        EXPECT_EQ(link.ProgramFromBuffer(img.data(), 2, 0, 1), wanted);
        clock.advance(loopback.ecu().options().restartMs);
        EXPECT_EQ(link.ProgramFromBuffer(img.data(), 2, 0, 1), 0) << "the third attempt works";
        link.EndProgramming();
    }
}

TEST(VirtualEcuBootLoader, ChecksLengthAndCrc) {
    sim::BootLoader boot;
    const std::vector<uint8_t> data(200, 9);
    EXPECT_EQ(boot.start(1, 0, 1, 200), p::kBadPayload);
    ASSERT_EQ(boot.start(2, 0, 1, 200), 0);
    EXPECT_EQ(boot.data(150, data.data(), 100), p::kBadIndex);
    ASSERT_EQ(boot.data(0, data.data(), 128), 0);
    EXPECT_EQ(boot.finish(ecu::Crc32::of(data.data(), 200)), p::kProgramBadImage);
    ASSERT_EQ(boot.start(2, 0, 1, 200), 0);
    ASSERT_EQ(boot.data(0, data.data(), 200), 0);
    EXPECT_EQ(boot.finish(0x12345678), p::kProgramVerifyFailed);
    ASSERT_EQ(boot.start(2, 0, 1, 200), 0);
    ASSERT_EQ(boot.data(0, data.data(), 200), 0);
    EXPECT_EQ(boot.finish(ecu::Crc32::of(data.data(), 200)), p::kProgramOk);
}

TEST(VirtualEcuSensors, GasCurvesFallAsTheTemperatureRises) {
    for (int type = 0; type < 3; ++type) {
        const auto curve = sim::SensorCurve::gasSensor(type);
        EXPECT_GT(curve.codeOf(10), curve.codeOf(60));
        EXPECT_NEAR(curve.celsiusOf(curve.codeOf(40)), 40, 1.0);
    }
    // Type 0 at 25 degrees: r = 1, so the code is 255 / 2 cut to a whole number.
    EXPECT_EQ(sim::SensorCurve::gasSensor(0).codeOf(25), 127);
}

TEST_F(VirtualEcuTest, TraceNamesTheOperationAndItsArguments) {
    loopback.clearTrace();
    int32_t values[2];
    link.ReadVariable(8963, values);
    link.WriteElement(37, 0, 155);
    link.WriteValue(528, 1650);
    uint8_t zeros[5] = {};
    int32_t status = 1;
    link.SendCommand(17, zeros, &status, 5);
    link.ReadVariable(99, values);
    EXPECT_EQ(loopback.trace(),
              (std::vector<std::string>{"ReadVariable 8963", "WriteElement 37 0 155",
                                        "WriteValue 528 1650", "SendCommand 17 1 0 0 0 0 0",
                                        "ReadVariable 99 !error 3"}));
}
