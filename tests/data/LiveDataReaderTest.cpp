#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CallLogLink.h"
#include "EcuVariable.h"
#include "LiveDataReader.h"
#include "LoopbackEcu.h"
#include "OfflineStore.h"

namespace {
using Outcome = LiveDataReader::Outcome;
using Names = std::vector<std::string>;

constexpr int32_t kTwoProbes = 1040;  // "Flag1" with bit 2 clear
constexpr int32_t kOneProbe = 1044;
constexpr qint64 kCruiseMs = 45'000;  // the car cruises at 2500 rpm, the engine warm

// The reader of a screen on the real link code, talking to the virtual ECU in virtual time.
// The link calls go through a log, so the tests see their order and their pace.
class ReaderOnEcu : public ::testing::Test {
  protected:
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    std::unique_ptr<LoopbackEcu> loop;
    std::unique_ptr<CallLogLink> log;
    std::unique_ptr<TStreamDati> data;
    std::unique_ptr<LiveDataReader> reader;
    int messages = 0;
    Outcome tickDuringMessage = Outcome::Block;

    // Connected, the configuration read from the ECU as at start, the car cruising.
    void start(int32_t flag1, sim::VirtualEcuOptions options = {}) {
        loop = std::make_unique<LoopbackEcu>(clock, options);
        log = std::make_unique<CallLogLink>(loop->link());
        data = std::make_unique<TStreamDati>(TStreamDati::Options{.loadLinkLibrary = false});
        data->QorConnectEcu().UseLink(log.get(), [](IEcuLink*) {});
        ASSERT_TRUE(loop->connect());
        ASSERT_TRUE(loop->pokeValue(EcuVariable::kOptionFlags, flag1));
        ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
        clock.advance(kCruiseMs - clock.nowMs());
        // The screen's message: another tick of its timer comes while it is open.
        reader = std::make_unique<LiveDataReader>(*data, [this] {
            ++messages;
            clock.advance(150);
            tickDuringMessage = reader->Tick();
        });
        log->clear();
    }

    Outcome tick() {
        log->clear();
        return reader->Tick();
    }
    const LiveValues& values() const { return reader->Values(); }
    // The engine when the ECU answered the n-th block read of the last tick.
    sim::EngineModel::State engineAtRead(size_t n = 0) const {
        return loop->ecu().engineAt(log->of("ReadBlock").at(n).atMs);
    }
    std::vector<qint64> connectTimes() const {
        std::vector<qint64> out;
        for (const auto& call : log->of("Connect")) out.push_back(call.atMs);
        return out;
    }
};

TEST_F(ReaderOnEcu, ABlockDecodesToWhatTheEngineDoes) {
    start(kTwoProbes);
    ASSERT_EQ(tick(), Outcome::Block);
    EXPECT_EQ(log->names(), (Names{"IsConnected", "EnterPollingMode", "ReadBlock"}));
    EXPECT_EQ(reader->Length(), 34);

    const LiveValues& v = values();
    const sim::EngineModel::State engine = engineAtRead();
    ASSERT_TRUE(engine.running);
    EXPECT_NEAR(v.rpm, engine.rpm, 1.0);
    EXPECT_NEAR(v.t1, engine.reducerC, 1.5);
    EXPECT_NEAR(v.t2, engine.coolantC, 1.5);
    EXPECT_EQ(v.onGas(), loop->ecu().onGas());
    EXPECT_FALSE(v.cutOff());
    EXPECT_NEAR(v.petrolMs1, 2.2 + 9.0 * engine.load, 0.06);
    EXPECT_NEAR(v.petrolMs2, v.petrolMs1 * 1.02, 0.005);  // bank 2 injects 2 % longer
    EXPECT_NEAR(v.gasMs2, v.gasMs1 * 1.02, 0.005);
    EXPECT_NEAR(v.pressure, 100 + 12 * engine.load, 3);  // hundredths of a bar, with noise
    EXPECT_NEAR(v.mapBar, 0.30 + 0.65 * engine.load, 0.01);
    EXPECT_GT(v.lambda1, 0);
    EXPECT_GT(v.lambda2, 0);
}

TEST_F(ReaderOnEcu, OneProbeLeavesBankTwoAlone) {
    start(kOneProbe);
    ASSERT_EQ(tick(), Outcome::Block);
    EXPECT_GT(values().petrolMs1, 2);  // the ECU's bank 2 injects as well
    EXPECT_EQ(values().lambda2, 0);
    EXPECT_EQ(values().gasMs2, 0);
    EXPECT_EQ(values().petrolMs2, 0);
}

TEST_F(ReaderOnEcu, AShortReplyKeepsTheLastBankTwoValues) {
    start(kTwoProbes);
    ASSERT_EQ(tick(), Outcome::Block);
    const LiveValues full = values();
    ASSERT_GT(full.petrolMs2, 2);

    loop->ecu().setLiveBlockBytes(19);
    clock.advance(3'000);
    ASSERT_EQ(tick(), Outcome::Block);
    EXPECT_EQ(reader->Length(), 19);
    EXPECT_NEAR(values().rpm, engineAtRead().rpm, 1.0);
    EXPECT_NE(values().petrolMs1, full.petrolMs1);
    EXPECT_EQ(values().lambda2, full.lambda2);
    EXPECT_EQ(values().gasMs2, full.gasMs2);
    EXPECT_EQ(values().petrolMs2, full.petrolMs2);
}

TEST_F(ReaderOnEcu, CablePulledWhilePollingTriesFourSecondsThenReportsOnce) {
    start(kOneProbe);
    ASSERT_EQ(tick(), Outcome::Block);
    const LiveValues before = values();

    // The screen's timer goes on while the reader waits: its ticks find the cycle running.
    std::vector<Outcome> nested;
    bool timerRuns = true;
    clock.onAdvance([&](qint64) {
        if (timerRuns) nested.push_back(reader->Tick());
    });
    loop->pullCable();
    const Outcome outcome = tick();
    timerRuns = false;

    EXPECT_EQ(outcome, Outcome::LinkLost);
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(tickDuringMessage, Outcome::HeldBack);
    ASSERT_FALSE(nested.empty());
    EXPECT_EQ(std::count(nested.begin(), nested.end(), Outcome::HeldBack),
              static_cast<long>(nested.size()));
    EXPECT_EQ(values(), before);

    // One read, Connect at once, then every 500 ms within 4 s, polling left once more.
    const Names names = log->names();
    ASSERT_GE(names.size(), 5u);
    EXPECT_EQ(Names(names.begin(), names.begin() + 3),
              (Names{"IsConnected", "EnterPollingMode", "ReadBlock"}));
    EXPECT_EQ(names.back(), "LeavePollingMode");
    EXPECT_EQ(std::count(names.begin(), names.end(), "LeavePollingMode"), 1);
    const std::vector<qint64> at = connectTimes();
    ASSERT_EQ(at.size(), names.size() - 4);
    EXPECT_LT(at[0] - log->of("ReadBlock")[0].atMs, 500);
    const qint64 waitStart = at[1] - 500;
    for (size_t i = 2; i < at.size(); ++i) {
        EXPECT_GE(at[i] - at[i - 1], 500) << i;
        EXPECT_LT(at[i] - at[i - 1], 600) << i;
    }
    EXPECT_GE(at.size(), 8u);  // the one at once and seven in the wait
    const qint64 left = log->of("LeavePollingMode")[0].atMs;
    EXPECT_LE(left - waitStart, 4000);
    EXPECT_GT(left - waitStart, 3500);
    for (const auto& call : log->of("Connect")) EXPECT_EQ(call.result, 0);

    // The next tick starts over: the link is down, nothing is read, nothing is said.
    ASSERT_EQ(tick(), Outcome::NoLink);
    EXPECT_EQ(log->names(), Names{"IsConnected"});
    EXPECT_EQ(messages, 1);

    // Plugged in again and connected by the user: the ticks read again.
    loop->plugCable();
    ASSERT_EQ(data->link().Connect(), 1);
    EXPECT_EQ(tick(), Outcome::Block);
}

TEST_F(ReaderOnEcu, CablePluggedAgainWithinTheWaitReadsTheBlockSilently) {
    start(kOneProbe);
    ASSERT_EQ(tick(), Outcome::Block);
    loop->clearTrace();
    loop->pullCable();
    const qint64 pluggedAt = clock.nowMs() + 1'200;
    loop->plugCableAt(pluggedAt);

    ASSERT_EQ(tick(), Outcome::Block);
    EXPECT_EQ(messages, 0);
    const Names names = log->names();
    const Names tail(names.end() - 4, names.end());
    EXPECT_EQ(tail, (Names{"Connect", "LeavePollingMode", "ReadBlock", "LeavePollingMode"}));
    // The first Connect after the plug, on the 500 ms pace, finds the ECU.
    const auto connects = log->of("Connect");
    ASSERT_GE(connects.size(), 3u);
    EXPECT_EQ(connects.back().result, 1);
    EXPECT_LT(connects[connects.size() - 2].atMs, pluggedAt);
    EXPECT_GE(connects.back().atMs - connects[connects.size() - 2].atMs, 500);
    EXPECT_LT(connects.back().atMs - connects[connects.size() - 2].atMs, 600);
    EXPECT_EQ(log->of("ReadBlock")[1].result, 1);
    EXPECT_EQ(loop->traced("ReadBlock").size(), 1u);  // the ECU answered the second read
    EXPECT_NEAR(values().rpm, engineAtRead(1).rpm, 1.0);
}

TEST_F(ReaderOnEcu, AnEcuThatRestartedIsConnectedAtOnce) {
    start(kOneProbe, sim::VirtualEcuOptions{.restartMs = 0});
    ASSERT_EQ(tick(), Outcome::Block);
    loop->ecu().powerCycle(clock.nowMs());  // the session is gone; the ECU answers at once
    clock.advance(1'000);

    ASSERT_EQ(tick(), Outcome::Block);
    EXPECT_EQ(log->names(), (Names{"IsConnected", "EnterPollingMode", "ReadBlock", "Connect",
                                   "LeavePollingMode", "ReadBlock"}));
    EXPECT_EQ(messages, 0);
    EXPECT_NEAR(values().rpm, engineAtRead(1).rpm, 1.0);
}
}  // namespace
