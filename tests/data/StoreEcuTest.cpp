#include <QCoreApplication>
#include <memory>

#include "EcuStore.h"

namespace {
class StoreOnEcu : public EcuStore {
  protected:
    void SetUp() override {
        start();
        ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
        loop->clearTrace();
    }
};

TEST_F(StoreOnEcu, SetValueWritesFirstThenStores) {
    ecu().setValue(16, 0, 1601);
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    ASSERT_TRUE(data->IsOfficial());
    EXPECT_EQ(data->SetValue(528, 1650), 1);
    EXPECT_EQ(ecu().value(16), 1651);  // threshold 1650, direction bit kept
    EXPECT_EQ(store().value(22), 1651);
    EXPECT_FALSE(data->IsOfficial());
    EXPECT_EQ(ecu().value(53, 0) & 0x80, 0);

    EXPECT_EQ(data->SetValue(56, 0.3), 1);
    EXPECT_EQ(ecu().value(56), 3);
    EXPECT_EQ(data->SetValue(36700186, 2), 1);  // two bits at shift 3 of variable 26
    EXPECT_EQ(ecu().value(26), 2 << 3);
    EXPECT_DOUBLE_EQ(data->GetValue(36700186), 2);
    EXPECT_EQ(data->SetValue(50331674, 5), 1);
    EXPECT_EQ(ecu().value(26), (2 << 3) | 5);
    EXPECT_EQ(data->SetElement(586, 1, 1.0), 1);
    EXPECT_EQ(ecu().value(74, 1), 391);  // 1 ms at 2.56 us
    EXPECT_EQ(data->SetElement(25, 9, 77), 1);
    EXPECT_EQ(ecu().value(25, 9), 77);
    EXPECT_EQ(data->SetValue(4, 3), 1);
    EXPECT_EQ(ecu().value(4), 4);
}

TEST_F(StoreOnEcu, ReadFirstCodesRefreshTheStore) {
    ecu().setValue(5, 0, 51);
    ecu().setValue(60, 0, 20);
    EXPECT_DOUBLE_EQ(data->GetValue(5), 1.0);
    EXPECT_EQ(store().value(13), 51);
    EXPECT_DOUBLE_EQ(data->GetValue(572), 20 * 2560 * 0.005);
    // Without the ECU the stored value is converted.
    loop->pullCable();
    ecu().setValue(5, 0, 102);
    EXPECT_DOUBLE_EQ(data->GetValue(5), 1.0);
}

TEST_F(StoreOnEcu, UnchangedValueKeepsTheOfficialFlag) {
    ASSERT_TRUE(data->IsOfficial());
    EXPECT_EQ(data->SetValue(528, 1500), 1);
    EXPECT_TRUE(data->IsOfficial());
    EXPECT_TRUE(data->IsModified());
}

TEST_F(StoreOnEcu, DescriptionAndSerialNumber) {
    std::vector<std::pair<int, int>> states;
    QObject::connect(data.get(), &TStreamDati::mainState,
                     [&](int code, int wParam) { states.emplace_back(code, wParam); });
    EXPECT_TRUE(data->SetDescription("Panda 1.1"));
    EXPECT_EQ(data->GetDescription(), "Panda 1.1");
    EXPECT_EQ(ecu().value(53, 2), 'P');
    EXPECT_EQ(ecu().value(53, 11), 0);
    EXPECT_TRUE(data->SetDescription(QString(40, 'z')));
    EXPECT_EQ(data->GetDescription(), QString(28, 'z'));
    EXPECT_EQ(ecu().value(53, 29), 'z');
    EXPECT_TRUE(data->SetSerialNumber("SN-1"));
    EXPECT_EQ(data->GetSerialNumber(), "SN-1");
    EXPECT_EQ(ecu().values(0), (std::vector<int32_t>{'S', 'N', '-', '1', 0, 0, 0, 0, 0, 0,
                                                     0,   0,   0,   0,   0, 0, 0, 0, 0, 0}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(states, (std::vector<std::pair<int, int>>{{2, 0}, {2, 0}, {2, 0}}));
}

TEST_F(StoreOnEcu, OfficialFlagAndIdentity) {
    EXPECT_TRUE(data->SetOfficial(false));
    EXPECT_FALSE(data->IsOfficial());
    EXPECT_EQ(ecu().value(53, 0), 0);
    loop->refuseWrites(true);
    EXPECT_FALSE(data->SetOfficial(true));
    EXPECT_FALSE(data->IsOfficial());
    loop->refuseWrites(false);
    ASSERT_TRUE(data->ReadIdentity());
    EXPECT_EQ(data->Identity(0), 7);
    EXPECT_EQ(data->Identity(1), 30);
    EXPECT_EQ(data->Identity(3), 4);
}

TEST_F(StoreOnEcu, LevelSensorTypeSetsItsReferences) {
    // "0 - 90 ohm": code 2, its references as they are.
    EXPECT_TRUE(data->SetLevelSensorType(1));
    EXPECT_EQ(ecu().value(36), 2);
    EXPECT_EQ(ecu().values(37), (std::vector<int32_t>{100, 128, 153, 178}));
    EXPECT_EQ(store().values(31), (std::vector<int32_t>{100, 128, 153, 178}));
    // Position 4 (an inverted sensor) changes only the type.
    EXPECT_TRUE(data->SetLevelSensorType(4));
    EXPECT_EQ(ecu().value(36), 193);
    EXPECT_EQ(ecu().values(37), (std::vector<int32_t>{100, 128, 153, 178}));
    // "Q.O.R." is inverted: 155, 127, 102, 77 shown are kept as 255 minus each.
    ecu().setValues(37, {1, 2, 3, 4});
    EXPECT_TRUE(data->SetLevelSensorType(0));
    EXPECT_EQ(ecu().value(36), 129);
    EXPECT_EQ(ecu().values(37), (std::vector<int32_t>{100, 128, 153, 178}));
    // A reference of 256 or more is ignored; a position outside the table writes nothing.
    loop->clearTrace();
    EXPECT_FALSE(data->SetLevelSensorReference(0, 256));
    EXPECT_FALSE(data->SetLevelSensorType(8));
    EXPECT_TRUE(loop->trace().empty());
    EXPECT_EQ(store().value(30), 129);
}

TEST_F(StoreOnEcu, Option10RederivesTheEngineTemperatures) {
    const TemperatureCurve builtIn = data->EngineCurve();
    ASSERT_EQ(builtIn, TemperatureCurve());
    const double changeover = data->GetValue(117);
    const int reference3 = store().value(52, 3);
    ASSERT_TRUE(data->SetOption(10, true));
    EXPECT_EQ(ecu().value(3, 1) & 0x0004, 0x0004);
    const TemperatureCurve& fromStore = data->EngineCurve();
    EXPECT_EQ(fromStore.start(), -20);
    EXPECT_EQ(fromStore.codes().size(), 30u);
    EXPECT_EQ(ecu().value(117), fromStore.ToCode(changeover));
    EXPECT_NEAR(data->GetValue(117), changeover, 1.0);
    // Reference 3: whole degrees on the old curve, the new curve's code of them.
    const int degrees = static_cast<int>(builtIn.ToDegrees(reference3) + 0.5);
    EXPECT_EQ(ecu().value(92, 3), fromStore.ToCode(degrees));
    EXPECT_EQ(ecu().value(92, 0), 0);
    EXPECT_EQ(ecu().value(92, 9), 255);
    // By hand: the ECU's changeover code 101 is 34.6 degrees on the built-in curve (between
    // 113 at 30 and 100 at 35); on the store's curve that is 114 - 0.923 x 13, code 102.
    EXPECT_EQ(ecu().value(117), 102);
    ASSERT_TRUE(data->SetOption(10, false));
    EXPECT_EQ(data->EngineCurve(), TemperatureCurve());
}

TEST_F(StoreOnEcu, Option9RederivesTheGasTemperatures) {
    const double changeover = data->GetValue(15);
    // The sensor type changed in the store; option 9 rebuilds the curve for it.
    store().set(3, 0, 2);
    ASSERT_TRUE(data->SetOption(9, true));
    EXPECT_EQ(data->GasCurve(), TemperatureCurve::Gas(2));
    EXPECT_EQ(ecu().value(15), TemperatureCurve::Gas(2).ToCode(changeover));
    EXPECT_EQ(ecu().value(42, 7), TemperatureCurve::Gas(2).ToCode(25));
    EXPECT_TRUE(data->GetOption(9));
}

TEST_F(StoreOnEcu, Option1TellsTheOldBit) {
    std::vector<std::pair<int, int>> states;
    std::vector<int> seen;  // the option as the receiver reads it when handling the message
    QObject::connect(data.get(), &TStreamDati::mainState, [&](int code, int wParam) {
        states.emplace_back(code, wParam);
        seen.push_back(data->GetOption(1));
    });
    ASSERT_TRUE(data->SetOption(1, true));
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(data->SetOption(1, false));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(states, (std::vector<std::pair<int, int>>{{5, 0}, {5, 1}}));
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
    EXPECT_EQ(ecu().value(3, 0) & 0x0002, 0);
}

TEST_F(StoreOnEcu, ReconnectWaitsForReadiness) {
    const qint64 before = clock.nowMs();
    EXPECT_TRUE(data->Reconnect());
    EXPECT_GE(clock.nowMs() - before, 1000 + 500);
    loop->pullCable();
    const qint64 pulled = clock.nowMs();
    EXPECT_FALSE(data->Reconnect(3000));
    EXPECT_LT(clock.nowMs() - pulled, 3000 + 20000 + 5000);
}

// The line goes dead while Reconnect waits for readiness (after the handshake, before the
// ECU reads ready): for a while, or for good. Reconnect either connects again or fails soon.
TEST_F(StoreOnEcu, ReconnectOnALineLostDuringTheReadinessWait) {
    struct Case {
        const char* what;
        qint64 deadForMs;  // 0 = for good
        bool connects;
    };
    const Case cases[] = {{"one read lost", 250, true},
                          {"lost long enough to count as gone", 2000, true},
                          {"gone for good", 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        struct Cut {
            qint64 atMs = -1, deadForMs = 0, cutMs = -1;
        };
        auto cut = std::make_shared<Cut>();
        cut->deadForMs = c.deadForMs;
        LoopbackEcu* line = loop.get();
        clock.onAdvance([cut, line](qint64 now) {
            if (cut->atMs < 0) return;
            if (cut->cutMs < 0 && now >= cut->atMs) {
                line->pullCable();
                cut->cutMs = now;
            } else if (cut->cutMs >= 0 && cut->deadForMs > 0 &&
                       now >= cut->cutMs + cut->deadForMs) {
                line->plugCable();
                cut->atMs = -1;
            }
        });
        // The handshake comes 1 s after the start, the ECU reads ready 0.6 s later.
        cut->atMs = clock.nowMs() + 1200;
        loop->clearTrace();
        const bool connected = data->Reconnect(3000);
        const qint64 end = clock.nowMs();
        cut->atMs = -1;
        loop->plugCable();
        ASSERT_GE(cut->cutMs, 0);
        EXPECT_EQ(connected, c.connects);
        if (connected) {
            EXPECT_LT(end - cut->cutMs, c.deadForMs + 1500);
        } else {
            EXPECT_LT(end - cut->cutMs, 3000);
        }
        // Once the link counts the ECU as gone, only a handshake brings it back.
        if (c.deadForMs >= 2000) {
            EXPECT_EQ(loop->traced("Connect").size(), 2u);
        }
        if (!connected) {
            ASSERT_TRUE(data->Reconnect(3000));
        }
    }
}
}  // namespace

namespace {
class BlankEcu : public EcuStore {};

TEST_F(BlankEcu, TakesTheCustomerCodeOnce) {
    sim::VirtualEcuOptions options;
    options.customer = 253;
    start(options);
    ASSERT_TRUE(data->ReadIdentity());
    EXPECT_EQ(data->Identity(0), 253);
    EXPECT_TRUE(data->WriteCustomerCode(7));
    EXPECT_EQ(data->Identity(0), 7);
    EXPECT_EQ(ecu().value(64), 7);
    EXPECT_FALSE(data->WriteCustomerCode(18));  // given once
    EXPECT_EQ(data->Identity(0), 7);
}
}  // namespace

namespace {
TEST_F(StoreOnEcu, ElementSetters) {
    EXPECT_TRUE(data->SetDefaultInjectionTime(7, 1, 3.0));
    EXPECT_EQ(ecu().value(143, 15), 1172);
    EXPECT_EQ(store().value(74, 15), 1172);
    EXPECT_FALSE(data->SetDefaultInjectionTime(8, 0, 3.0));
    EXPECT_TRUE(data->SetGasReference(4, 40));
    EXPECT_EQ(ecu().value(42, 4), data->GasCurve().ToCode(40));
    EXPECT_TRUE(data->SetGasReference(9, 40));
    EXPECT_EQ(ecu().value(42, 9), 255);
    EXPECT_FALSE(data->SetGasReference(10, 40));
    EXPECT_TRUE(data->SetDescription(QString::fromUtf8("Città €")));
    EXPECT_EQ(data->GetDescription(), QString::fromUtf8("Città ?"));
}
}  // namespace
