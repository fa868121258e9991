#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "ConfigBaseLibrary.h"
#include "EcuStore.h"
#include "PrivateTemp.h"
#include "TimeBase.h"
#include "TransferEngine.h"

namespace {
using Form = sim::VirtualEcuOptions::PressureCoefficients;

bool climbsTo100(const std::vector<int>& progress) {
    return !progress.empty() && progress.front() == 0 && progress.back() == 100 &&
           std::is_sorted(progress.begin(), progress.end());
}

class Transfer : public EcuStore {};

TEST_F(Transfer, FullReadLeavesTheStoreEqualToTheEcu) {
    start();
    ecu().setValue(84, 3 * 6 + 2, 177);  // a K-map cell
    ecu().setValue(124, 4, -1234);       // a pressure coefficient
    ecu().setValue(0, 0, 'X');           // serial number
    ecu().setValue(149, 5, -7);          // a calibration correction cell
    ecu().setValue(143, 15, 999);        // last default injection time
    ecu().setValue(67, 0, 44);           // read-only
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu, {}, 0, Group::kAll, true));
    expectStoreEqualsEcu();
    EXPECT_TRUE(data->IsModified());
    EXPECT_EQ(data->GetDescription(), "Punto 1.2 GPL");
    EXPECT_EQ(data->GetSerialNumber(), "XE-0030-2401-000123");
    EXPECT_TRUE(data->IsOfficial());
    EXPECT_FALSE(store().pressureByteForm());
    // The record is cleared by the header and takes the displacement of the ECU.
    EXPECT_EQ(store().vehicle().displacement, 1242);
    EXPECT_TRUE(store().vehicle().description.isEmpty());
    EXPECT_TRUE(climbsTo100(progress));
    // A read opens no save sequence and does not reconnect.
    EXPECT_TRUE(traced("SendCommand").size() == 1);  // only the K-map size
    EXPECT_TRUE(traced("Disconnect").empty());
}

TEST_F(Transfer, DefaultsWrittenThenReadBackRoundTripEveryRow) {
    start();
    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults));
    EXPECT_FALSE(data->IsModified());
    loop->clearTrace();
    const qint64 waitedBefore = clock.waitedMs();
    ASSERT_TRUE(data->Transfer(TStreamDati::kWriteEcu, {}, 0, Group::kAll, true))
        << data->LastError().toStdString();
    EXPECT_FALSE(data->IsModified());
    EXPECT_TRUE(climbsTo100(progress));

    // The 16-bit ECU took the coefficients multiplied by 30; the rest as they are.
    EXPECT_EQ(ecu().value(124, 0), 114 * 30);
    EXPECT_EQ(ecu().value(124, 14), -32 * 30);
    expectStoreEqualsEcu();
    EXPECT_EQ(ecu().value(53, 2), 'S');  // "Standard"

    // Save sequence around the writes, then disconnection and reconnection.
    const int open = firstInTrace("SendCommand 17");
    const int firstWrite = firstInTrace("WriteVariable");
    const int close = firstInTrace("SendCommand 18");
    const int bye = firstInTrace("Disconnect", close);
    const int hello = firstInTrace("Connect", bye);
    EXPECT_GE(open, 0);
    EXPECT_LT(open, firstWrite);
    EXPECT_LT(firstWrite, close);
    EXPECT_LT(close, bye);
    EXPECT_LT(bye, hello);
    EXPECT_FALSE(ecu().saveOpen());
    EXPECT_TRUE(loop->link().IsConnected());
    EXPECT_GE(clock.waitedMs() - waitedBefore, 500 + 500 + 1000);
    // Row 79 goes as two element writes of variable 148.
    EXPECT_EQ(traced("WriteElement").size(), 2u);

    // A fresh read brings every row back.
    std::vector<std::vector<int32_t>> written;
    for (const CatalogueRow& row : Catalogue::rows()) written.push_back(store().values(row.number));
    for (const CatalogueRow& row : Catalogue::rows())
        std::fill(store().values(row.number).begin(), store().values(row.number).end(), 1);
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    for (const CatalogueRow& row : Catalogue::rows()) {
        SCOPED_TRACE(row.number);
        std::vector<int32_t> expected = written[static_cast<size_t>(row.number - 1)];
        if (row.number == Catalogue::kPressureCoefficients)
            for (int32_t& v : expected) v *= 30;  // read back in the 16-bit form
        if (row.extent == Extent::KMap) expected.resize(13 * 12, 1);  // lines beyond the size stay
        for (int e = 0; e < row.elements; ++e)
            if (row.extent == Extent::KMap && e % 12 >= store().kColumns())
                expected[static_cast<size_t>(e)] = 1;
        if (row.extent == Extent::KColumns)
            for (int e = store().kColumns(); e < row.elements; ++e)
                expected[static_cast<size_t>(e)] = 1;
        EXPECT_EQ(store().values(row.number), expected);
    }
}

TEST_F(Transfer, ModifiedFlagFollowsTheDirection) {
    start();
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    EXPECT_TRUE(data->IsModified());
    ASSERT_TRUE(data->Transfer(TStreamDati::kWriteEcu));
    EXPECT_FALSE(data->IsModified());
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults));
    EXPECT_FALSE(data->IsModified());
}

TEST_F(Transfer, GroupMaskMovesOnlyItsRowsWhileProgressReaches100) {
    start();
    ecu().setValue(150, 0, 3100);  // GiriAutotaratura, group 0x04
    ecu().setValue(84, 0, 99);     // K map, group 0x02 or 0x04
    ecu().setValue(16, 0, 1750);   // GiriPerCambio, group 0x01
    loop->clearTrace();
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu, {}, 0, Group::kFuel, true));
    for (const CatalogueRow& row : Catalogue::rows()) {
        if (row.id == 0) continue;
        SCOPED_TRACE(row.number);
        if (row.group & Group::kFuel) {
            EXPECT_EQ(storeRow(row), ecuRow(row));
        }
    }
    EXPECT_EQ(store().value(22), 1600);  // left at its default
    EXPECT_EQ(data->GetDescription(), "Standard");
    // Only the rows of the group were asked for.
    for (const std::string& line : traced("ReadVariable")) {
        const uint32_t id = static_cast<uint32_t>(std::stoul(line.substr(13)));
        const CatalogueRow* row = Catalogue::rowOfCode(id);
        const bool pressure = (id & 0xFF) == 124;
        const bool kRow = (id & 0xFF) == 55 || (id & 0xFF) == 61 || (id & 0xFF) == 127;
        EXPECT_TRUE(pressure || kRow || (row && (row->group & Group::kFuel))) << line;
    }
    EXPECT_TRUE(climbsTo100(progress));
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[progress.size() - 2], 100);  // every row counted, moved or not
}

TEST_F(Transfer, KMapSizeFollowsTheEcu) {
    sim::VirtualEcuOptions options;
    options.kColumns = 8;
    options.kRows = 10;
    start(options);
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    EXPECT_EQ(store().kColumns(), 8);
    EXPECT_EQ(store().kRows(), 10);
    expectStoreEqualsEcu();
    EXPECT_EQ(traced("ReadRow " + std::to_string(8 * 4096 + 0x154)).size(), 11u);

    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults));
    EXPECT_EQ(store().kColumns(), 6);
    ASSERT_TRUE(data->Transfer(TStreamDati::kWriteEcu));
    EXPECT_EQ(store().kColumns(), 8);
    EXPECT_EQ(ecu().values(84)[0 * 8 + 7], 123);   // default map, column 7 of line 0
    EXPECT_EQ(ecu().values(84)[10 * 8 + 0], 113);  // line 10
    EXPECT_EQ(ecu().values(61)[7], 8 * 6000 / 6);  // computed for the default six columns
}

struct PressureCase {
    Form form;
    int32_t ecuRaw;   // what the ECU holds
    int32_t stored;   // what a read stores
    int32_t written;  // what writing the defaults leaves in the ECU (element 0: 114)
};

class PressureCoefficients : public EcuStore, public ::testing::WithParamInterface<PressureCase> {};

TEST_P(PressureCoefficients, FollowTheElementSizeOfTheEcu) {
    const PressureCase c = GetParam();
    sim::VirtualEcuOptions options;
    options.pressureCoefficients = c.form;
    start(options);
    if (c.form != Form::Absent) ecu().setValue(124, 0, c.ecuRaw);
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    EXPECT_EQ(store().value(61, 0), c.stored);
    EXPECT_EQ(store().pressureByteForm(), c.form == Form::Absent);  // absent: defaults untouched

    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults));
    ASSERT_TRUE(store().pressureByteForm());
    ASSERT_TRUE(data->Transfer(TStreamDati::kWriteEcu)) << data->LastError().toStdString();
    if (c.form != Form::Absent) {
        EXPECT_EQ(ecu().value(124, 0), c.written);
    } else {
        EXPECT_TRUE(ecu().table().find(124) == nullptr);
    }

    if (c.form == Form::Bits8) {
        // Values in the 16-bit form go divided by 30, kept to a signed byte.
        store().values(61) = std::vector<int32_t>(15, -4000);
        store().set(61, 0, 5000);
        store().set(61, 1, 95);
        store().setPressureByteForm(false);
        ASSERT_TRUE(data->Transfer(TStreamDati::kWriteEcu));
        EXPECT_EQ(ecu().value(124, 0), 127);
        EXPECT_EQ(ecu().value(124, 1), 3);
        EXPECT_EQ(ecu().value(124, 2), -128);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, PressureCoefficients,
                         ::testing::Values(PressureCase{Form::Bits8, -3, -90, 114},
                                           PressureCase{Form::Bits16, 2500, 2500, 114 * 30},
                                           PressureCase{Form::Absent, 0, 114, 0}));

TEST_F(Transfer, MillisecondDefaultsUseTheTickOfTheEcu) {
    start();
    ecu().setValue(121, 0, 1000);
    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults | TStreamDati::kWriteEcu));
    EXPECT_EQ(data->BaseTempi(), 1000);
    EXPECT_EQ(ecu().value(83), 1500);     // TempoAperturaIniettore 1.5 ms
    EXPECT_EQ(ecu().value(55, 0), 2000);  // RifTempiK 2.0 ms
    EXPECT_EQ(ecu().value(142), 2000);    // SafeDelay 2 ms
}

TEST_F(Transfer, RefusedWritesFailAndChangeNothing) {
    start();
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    std::vector<std::vector<int32_t>> before;
    for (const CatalogueRow& row : Catalogue::rows()) before.push_back(store().values(row.number));
    loop->refuseWrites(true);
    EXPECT_EQ(data->SetValue(528, 2000), 0);
    EXPECT_EQ(store().value(22), 1500);
    data->SetModified(false);
    EXPECT_EQ(data->SetValue(528, 2000), 0);
    EXPECT_TRUE(data->IsModified());

    EXPECT_FALSE(data->Transfer(TStreamDati::kWriteEcu, {}, 0, Group::kAll, true));
    EXPECT_EQ(data->LastError(), TransferEngine::kWriteFailed);
    EXPECT_TRUE(data->IsModified());
    for (const CatalogueRow& row : Catalogue::rows())
        EXPECT_EQ(store().values(row.number), before[static_cast<size_t>(row.number - 1)])
            << row.number;
    EXPECT_EQ(ecu().value(16), 1500);
}

TEST_F(Transfer, CablePulledMidwayFailsInBoundedTimeAndKeepsWhatMoved) {
    start();
    ecu().setValue(3, 0, 1046);    // Flag1, the first row
    ecu().setValue(150, 0, 3100);  // GiriAutotaratura, near the end
    loop->pullCableAfter(static_cast<int>(ecu().framesReceived()) + 40);
    const qint64 startMs = clock.nowMs();
    EXPECT_FALSE(data->Transfer(TStreamDati::kReadEcu, {}, 0, Group::kAll, true));
    EXPECT_LT(clock.nowMs() - startMs, 5000);
    EXPECT_EQ(data->LastError(), TransferEngine::kReadFailed);
    EXPECT_EQ(store().value(1, 0), 1046);  // moved before the pull
    EXPECT_EQ(store().value(81), 2800);    // never reached: the default
    EXPECT_FALSE(progress.empty());
    EXPECT_LT(progress.back(), 100);
}

TEST_F(Transfer, FailedBaseTempiReadFallsBackTo2560) {
    start();
    store().set(2, 0, 3000);
    ecu().setValue(3, 0, 1046);
    // Row 1 gets its answer; the answer to the BaseTempi request is lost.
    loop->pullCableAfter(static_cast<int>(ecu().framesReceived()) + 2);
    EXPECT_FALSE(data->Transfer(TStreamDati::kReadEcu));
    EXPECT_EQ(store().value(1, 0), 1046);
    EXPECT_EQ(data->BaseTempi(), 2560);
}

}  // namespace

namespace {
class SourceTransfer : public EcuStore {
  protected:
    PrivateTemp temp;  // the copies of this test only
    QTemporaryDir dir;
    ConfigBaseLibrary library;
    ConfigBaseLibrary* saved = nullptr;

    void SetUp() override {
        ASSERT_TRUE(library.Load()) << library.LoadError().toStdString();
        saved = ConfigBaseLibrary::Current();
        ConfigBaseLibrary::SetCurrent(&library);
        start();
    }
    void TearDown() override { ConfigBaseLibrary::SetCurrent(saved); }

    QString writePlain(const QByteArray& text) {
        const QString file = dir.filePath(QStringLiteral("prova.kv4"));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("DECRYPTED_MLTP_FILE\r\n" + text);
        return file;
    }
};

TEST_F(SourceTransfer, BaseConfigurationGoesIntoTheEcu) {
    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults | TStreamDati::kWriteEcu, {}, 20))
        << data->LastError().toStdString();
    EXPECT_FALSE(data->IsSourceOpen());
    EXPECT_EQ(ecu().value(3, 0), 1046);
    EXPECT_EQ(data->GetDescription(), "Base Metano iniettore tipo 0");
    EXPECT_EQ(ecu().value(53, 2), 'B');
    expectStoreEqualsEcu();
}

TEST_F(SourceTransfer, CoefficientsInByteFormGoTimes30ToA16BitEcu) {
    const QString file = writePlain(
        "[PressioneDifferenziale]\r\nCoeffPressDiffByte=1\r\nCoeffPressDiff0=10\r\n"
        "CoeffPressDiff1=-4\r\n");
    ASSERT_TRUE(data->Transfer(TStreamDati::kLoadDefaults | TStreamDati::kWriteEcu, file))
        << data->LastError().toStdString();
    EXPECT_EQ(ecu().value(124, 0), 300);
    EXPECT_EQ(ecu().value(124, 1), -120);
    EXPECT_EQ(ecu().value(124, 2), 88 * 30);  // not in the file: the default
}

TEST_F(SourceTransfer, FailedSaveKeepsTheOldFile) {
    const QString file = writePlain("[Generale]\r\nFlag1=1044\r\n");
    QFile before(file);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();
    loop->pullCable();
    EXPECT_FALSE(data->Transfer(TStreamDati::kSaveFile, file));
    EXPECT_EQ(data->LastError(), TransferEngine::kSaveStartFailed);
    EXPECT_FALSE(data->IsSourceOpen());
    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), old);
    EXPECT_TRUE(temp.Copies().isEmpty());
}
}  // namespace
