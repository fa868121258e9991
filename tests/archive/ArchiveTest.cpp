#include <gtest/gtest.h>

#include "ArchiveFixture.h"

namespace {
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new PostgresEnvironment);
using Kind = ArchiveStoreOutcome::Kind;

class ArchiveTest : public ArchiveOnEngine {};

TEST_P(ArchiveTest, AnUnchangedConfigurationIsNotedAndAChangedOneStored) {
    ASSERT_TRUE(archive.ecuSeen({"SN-1001", 4, 7, "2.10"}, at(0)).ok());
    const QByteArray first = iniText();
    const QByteArray changed = iniText({{"GiriPerCambio", "2200"}});

    const auto a = archive.storeSnapshot(snapshotOf("SN-1001", at(1), first));
    const auto b = archive.storeSnapshot(snapshotOf("SN-1001", at(2), first, "before load"));
    const auto c =
        archive.storeSnapshot(snapshotOf("SN-1001", at(3), changed, "after calibration"));
    const auto d = archive.storeSnapshot(snapshotOf("SN-1001", at(4), first, "before reset"));
    ASSERT_TRUE(a.ok() && b.ok() && c.ok() && d.ok()) << a.error().detail.toStdString();
    EXPECT_EQ(a.value().kind, Kind::Stored);
    EXPECT_EQ(b.value().kind, Kind::Noted);
    EXPECT_EQ(b.value().id, a.value().id);
    EXPECT_EQ(c.value().kind, Kind::Stored);
    // Equal to an older one but not to the latest: a new snapshot, so the history stays true.
    EXPECT_EQ(d.value().kind, Kind::Stored);

    // The texts come back byte for byte, the later ones kept against the first.
    EXPECT_EQ(archive.snapshotText(a.value().id).value(), first);
    EXPECT_EQ(archive.snapshotText(c.value().id).value(), changed);
    EXPECT_EQ(archive.snapshotText(d.value().id).value(), first);
    const ArchiveSnapshot kept = archive.snapshot(c.value().id).value();
    EXPECT_EQ(kept.textSize, changed.size());
    EXPECT_LT(kept.storedSize, changed.size() / 4);

    const auto history = archive.history("SN-1001");
    ASSERT_TRUE(history.ok());
    ASSERT_EQ(history.value().size(), 4);
    const QStringList reasons = {"connect", "before load", "after calibration", "before reset"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(history.value()[i].reason, reasons[i]);
        EXPECT_EQ(history.value()[i].time, at(i + 1));
        EXPECT_EQ(history.value()[i].noted, i == 1);
    }
    EXPECT_EQ(history.value()[1].snapshot.id, a.value().id);

    const ArchiveEcu ecu = archive.ecu("SN-1001").value();
    EXPECT_EQ(ecu.identity.modelCode, 4);
    EXPECT_EQ(ecu.identity.customerCode, 7);
    EXPECT_EQ(ecu.identity.firmware, "2.10");
    EXPECT_EQ(ecu.firstSeen, at(0));
}

TEST_P(ArchiveTest, AnImportedFileComesInOnceAndCanBeGivenToAnEcu) {
    const QByteArray text = iniText({{"Cilindrata", "1400"}});
    const auto first = archive.importSnapshot(text, "Punto 1.4.kv4", at(0));
    const auto again = archive.importSnapshot(text, "Punto 1.4.kv4", at(5));
    const auto other = archive.importSnapshot(text, "Copia di Punto.kv4", at(6));
    ASSERT_TRUE(first.ok() && again.ok() && other.ok()) << first.error().detail.toStdString();
    EXPECT_EQ(first.value().kind, Kind::Stored);
    EXPECT_EQ(again.value().kind, Kind::Noted);
    EXPECT_EQ(again.value().id, first.value().id);
    EXPECT_EQ(other.value().kind, Kind::Stored);

    const ArchiveSnapshot s = archive.snapshot(first.value().id).value();
    EXPECT_EQ(s.reason, "import");
    EXPECT_EQ(s.time, at(0));
    EXPECT_TRUE(s.ecuSerial.isEmpty());
    EXPECT_EQ(archive.search("punto").value().size(), 2);

    ASSERT_TRUE(archive.ecuSeen({"SN-7", 1, 1, "1.0"}, at(7)).ok());
    ASSERT_TRUE(archive.linkSnapshotToEcu(first.value().id, "SN-7").ok());
    EXPECT_EQ(archive.history("SN-7").value().size(), 1);
    EXPECT_EQ(archive.linkSnapshotToEcu(first.value().id, "SN-8").error().kind,
              ArchiveError::Kind::NotFound);
    // Linked, it is still the same import.
    EXPECT_EQ(archive.importSnapshot(text, "Punto 1.4.kv4", at(8)).value().kind, Kind::Noted);
}

TEST_P(ArchiveTest, SessionsAndJournalKeepEveryWrittenValueInOrder) {
    const auto session = archive.beginSession("SN-2", at(0), "BANCO-1", "mario");
    ASSERT_TRUE(session.ok()) << session.error().detail.toStdString();
    ASSERT_TRUE(archive.journal({"SN-2", session.value(), at(1), 528, 0, 1800, 2200, true}).ok());
    ASSERT_TRUE(archive.journal({"SN-2", session.value(), at(2), 310, 3, -5, 12, false}).ok());
    ASSERT_TRUE(archive.endSession(session.value(), at(3)).ok());

    const auto journal = archive.journalOf("SN-2");
    ASSERT_TRUE(journal.ok());
    ASSERT_EQ(journal.value().size(), 2);
    const ArchiveJournalInput& j = journal.value()[0].entry;
    EXPECT_EQ(j.sessionId, session.value());
    EXPECT_EQ(j.time, at(1));
    EXPECT_EQ(j.parameterKey, 528);
    EXPECT_EQ(j.oldRaw, 1800);
    EXPECT_EQ(j.newRaw, 2200);
    EXPECT_TRUE(j.success);
    EXPECT_EQ(journal.value()[1].entry.element, 3);
    EXPECT_EQ(journal.value()[1].entry.oldRaw, -5);
    EXPECT_FALSE(journal.value()[1].entry.success);

    const auto sessions = archive.sessionsOf("SN-2").value();
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(sessions[0].begin, at(0));
    EXPECT_EQ(sessions[0].end, at(3));
    EXPECT_EQ(sessions[0].computer, "BANCO-1");
    EXPECT_EQ(sessions[0].user, "mario");
    EXPECT_EQ(archive.endSession("no-such-session", at(4)).error().kind,
              ArchiveError::Kind::NotFound);
}

TEST_P(ArchiveTest, AnEcuMovesBetweenVehiclesAndAVehicleHoldsOneEcu) {
    ASSERT_TRUE(archive.ecuSeen({"SN-A", 1, 1, "1"}, at(0)).ok());
    ASSERT_TRUE(archive.ecuSeen({"SN-B", 1, 1, "1"}, at(0)).ok());
    const qint64 punto = archive
                             .addVehicle({0, "AB 123 CD", "ZFA18800000123456", "Fiat Punto",
                                          "Mario Rossi", "333 1234567", "GPL dal 2019"})
                             .value();
    const qint64 golf =
        archive.addVehicle({0, "EF 456 GH", "WVWZZZ1KZ6W000001", "VW Golf", "Anna Bianchi", "", ""})
            .value();
    ASSERT_GT(punto, 0);
    ASSERT_TRUE(archive.installEcu("SN-A", punto, at(1)).ok());
    ASSERT_TRUE(archive.installEcu("SN-A", punto, at(2)).ok());  // already there: nothing new
    ASSERT_TRUE(archive.installEcu("SN-A", golf, at(3)).ok());
    ASSERT_TRUE(archive.installEcu("SN-B", golf, at(4)).ok());

    const auto a = archive.installationsOf("SN-A").value();
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a[0].vehicleId, punto);
    EXPECT_EQ(a[0].from, at(1));
    EXPECT_EQ(a[0].until, at(3));
    EXPECT_EQ(a[1].vehicleId, golf);
    EXPECT_EQ(a[1].until, at(4));  // SN-B took its place
    EXPECT_FALSE(archive.installationsOf("SN-B").value()[0].until.isValid());

    EXPECT_EQ(archive.installEcu("SN-Z", golf, at(5)).error().kind, ArchiveError::Kind::NotFound);
    EXPECT_EQ(archive.installEcu("SN-B", 999999, at(5)).error().kind, ArchiveError::Kind::NotFound);

    ArchiveVehicle edited = archive.vehicle(punto).value();
    EXPECT_EQ(edited.customerPhone, "333 1234567");
    edited.customerName = "Luigi Verdi";
    ASSERT_TRUE(archive.updateVehicle(edited).ok());
    EXPECT_TRUE(archive.search("rossi").value().isEmpty());
    EXPECT_EQ(archive.search("verdi").value().size(), 1);
    ASSERT_TRUE(archive.removeVehicle(punto).ok());
    EXPECT_EQ(archive.vehicle(punto).error().kind, ArchiveError::Kind::NotFound);
    EXPECT_EQ(archive.removeVehicle(punto).error().kind, ArchiveError::Kind::NotFound);
    EXPECT_EQ(archive.vehicles().value().size(), 1);
}

TEST_P(ArchiveTest, SearchFindsEachKindByTheStartOfItsWords) {
    ASSERT_TRUE(archive.ecuSeen({"SN-5001", 1, 1, "1"}, at(0)).ok());
    ASSERT_TRUE(archive.ecuSeen({"SN-5002", 1, 1, "1"}, at(0)).ok());
    const qint64 punto =
        archive.addVehicle({0, "AB 123 CD", "ZFA18800000123456", "", "Mario Rossi", "", ""})
            .value();
    archive.addVehicle({0, "XY 999 ZZ", "VF1AAAA", "", "Mario Bianchi", "", ""});
    ASSERT_TRUE(archive.installEcu("SN-5001", punto, at(1)).ok());
    ArchiveSnapshotInput s = snapshotOf("SN-5002", at(2), iniText(), "connect");
    s.description = "Tagliando con sostituzione iniettori";
    ASSERT_TRUE(archive.storeSnapshot(s).ok());
    ASSERT_TRUE(
        archive.importSnapshot(iniText({{"TempCambio", "40"}}), "Officina_Panda.kv8", at(3)).ok());

    using H = ArchiveSearchHit::Kind;
    struct Case {
        const char* text;
        std::vector<H> kinds;
    };
    const Case cases[] = {
        {"ab12", {H::Vehicle}},    // plate, blanks left out
        {"AB 123", {H::Vehicle}},  // plate, word by word
        {"zfa188", {H::Vehicle}},  // VIN
        {"ROSSI", {H::Vehicle}},   // customer, any case
        {"mario", {H::Vehicle, H::Vehicle}},
        {"mario bia", {H::Vehicle}},  // every word must match
        {"sn-50", {H::Ecu, H::Ecu}},  // serial numbers
        {"5002", {H::Ecu}},
        {"iniett", {H::Snapshot}},  // description
        {"panda", {H::Snapshot}},   // file name
        {"zzz", {}},
        {"", {}},
        {"  ;;  ", {}},
    };
    for (const Case& c : cases) {
        const auto hits = archive.search(c.text);
        ASSERT_TRUE(hits.ok()) << c.text << ": " << hits.error().detail.toStdString();
        std::vector<H> kinds;
        for (const ArchiveSearchHit& h : hits.value()) kinds.push_back(h.kind);
        EXPECT_EQ(kinds, c.kinds) << "search \"" << c.text << "\"";
    }
    const ArchiveSearchHit plate = archive.search("ab123cd").value().value(0);
    EXPECT_EQ(plate.vehicleId, punto);
    EXPECT_EQ(plate.ecuSerial, "SN-5001");  // the ECU in it now
    EXPECT_EQ(archive.search("sn", 1).value().size(), 1);
}

TEST_P(ArchiveTest, TheListShowsEachEcuWithItsVehicleAndLatestSnapshot) {
    ASSERT_TRUE(archive.ecuSeen({"SN-L1", 1, 1, "1"}, at(0)).ok());
    ASSERT_TRUE(archive.ecuSeen({"SN-L2", 1, 1, "1"}, at(1)).ok());
    const qint64 car = archive.addVehicle({0, "CC 111 CC", "", "", "Rossi", "", ""}).value();
    archive.addVehicle({0, "DD 222 DD", "", "", "Neri", "", ""});
    ASSERT_TRUE(archive.installEcu("SN-L1", car, at(2)).ok());
    archive.storeSnapshot(snapshotOf("SN-L1", at(3), iniText()));
    const qint64 latest =
        archive.storeSnapshot(snapshotOf("SN-L1", at(4), iniText({{"TempCambio", "30"}})))
            .value()
            .id;

    const auto list = archive.list();
    ASSERT_TRUE(list.ok());
    ASSERT_EQ(list.value().size(), 3);
    QMap<QString, ArchiveListEntry> byName;
    for (const ArchiveListEntry& e : list.value())
        byName[e.ecu.identity.serial.isEmpty() ? e.vehicle.plate : e.ecu.identity.serial] = e;
    EXPECT_EQ(byName["SN-L1"].vehicle.id, car);
    EXPECT_EQ(byName["SN-L1"].latest.id, latest);
    EXPECT_EQ(byName["SN-L2"].vehicle.id, 0);
    EXPECT_EQ(byName["SN-L2"].latest.id, 0);
    EXPECT_TRUE(byName.contains("DD 222 DD"));
}

TEST_P(ArchiveTest, BadInputIsRefusedAndChangesNothing) {
    const QString tooLong(WorkshopArchive::kMaxText + 1, QLatin1Char('x'));
    struct Case {
        const char* what;
        ArchiveSnapshotInput input;
    };
    const Case cases[] = {
        {"no serial, no file", snapshotOf("", at(0), iniText())},
        {"blank serial", snapshotOf("   ", at(0), iniText())},
        {"serial too long",
         snapshotOf(QString(WorkshopArchive::kMaxSerial + 1, 'S'), at(0), iniText())},
        {"empty text", snapshotOf("SN-X", at(0), {})},
        {"text too large",
         snapshotOf("SN-X", at(0), QByteArray(WorkshopArchive::kMaxIniText + 1, 'a'))},
        {"no time", snapshotOf("SN-X", {}, iniText())},
        {"reason too long", snapshotOf("SN-X", at(0), iniText(), tooLong)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(archive.storeSnapshot(c.input).error().kind, ArchiveError::Kind::InvalidInput)
            << c.what;
    // A batch with one bad snapshot stores none of them.
    EXPECT_FALSE(
        archive.storeSnapshots({snapshotOf("SN-X", at(0), iniText()), cases[3].input}).ok());
    EXPECT_EQ(archive.ecuSeen({"", 0, 0, ""}, at(0)).error().kind,
              ArchiveError::Kind::InvalidInput);
    EXPECT_EQ(archive.addVehicle({0, tooLong, "", "", "", "", ""}).error().kind,
              ArchiveError::Kind::InvalidInput);
    EXPECT_EQ(archive.ecu("SN-X").error().kind, ArchiveError::Kind::NotFound);
    EXPECT_TRUE(archive.list().value().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         engineName);
}  // namespace
