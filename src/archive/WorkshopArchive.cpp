#include "WorkshopArchive.h"

// First cut: the interface, each call answering NotOpen until the store is in.
struct WorkshopArchive::Private {};

WorkshopArchive::WorkshopArchive() = default;
WorkshopArchive::~WorkshopArchive() = default;

ArchiveResult<ArchiveDone> WorkshopArchive::open(const QString& location,
                                                 const QString& baseDirectory) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
void WorkshopArchive::close() {}
WorkshopArchive::State WorkshopArchive::state() const { return State::Closed; }
bool WorkshopArchive::isPostgres() const { return false; }
QString WorkshopArchive::location() const { return {}; }
int WorkshopArchive::schemaVersion() const { return 0; }
int WorkshopArchive::programSchemaVersion() { return 0; }
int WorkshopArchive::queuedCount() const { return 0; }
ArchiveResult<int> WorkshopArchive::flushQueue() {
    return ArchiveResult<int>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::ecuSeen(const ArchiveEcuIdentity& ecu,
                                                    const QDateTime& when) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveEcu> WorkshopArchive::ecu(const QString& serial) {
    return ArchiveResult<ArchiveEcu>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QString> WorkshopArchive::beginSession(const QString& ecuSerial,
                                                     const QDateTime& when, const QString& computer,
                                                     const QString& user) {
    return ArchiveResult<QString>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::endSession(const QString& sessionId,
                                                       const QDateTime& when) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveSession>> WorkshopArchive::sessionsOf(const QString& ecuSerial) {
    return ArchiveResult<QList<ArchiveSession>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveStoreOutcome> WorkshopArchive::storeSnapshot(
    const ArchiveSnapshotInput& snapshot) {
    return ArchiveResult<ArchiveStoreOutcome>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveStoreOutcome> WorkshopArchive::importSnapshot(const QByteArray& iniText,
                                                                   const QString& fileName,
                                                                   const QDateTime& fileTime,
                                                                   const QString& description) {
    return ArchiveResult<ArchiveStoreOutcome>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveStoreOutcome>> WorkshopArchive::storeSnapshots(
    const QList<ArchiveSnapshotInput>& snapshots) {
    return ArchiveResult<QList<ArchiveStoreOutcome>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveSnapshot> WorkshopArchive::snapshot(qint64 id) {
    return ArchiveResult<ArchiveSnapshot>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QByteArray> WorkshopArchive::snapshotText(qint64 id) {
    return ArchiveResult<QByteArray>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::linkSnapshotToEcu(qint64 snapshotId,
                                                              const QString& ecuSerial) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::journal(const ArchiveJournalInput& entry) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveJournalEntry>> WorkshopArchive::journalOf(const QString& ecuSerial) {
    return ArchiveResult<QList<ArchiveJournalEntry>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveHistoryEntry>> WorkshopArchive::history(const QString& ecuSerial) {
    return ArchiveResult<QList<ArchiveHistoryEntry>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<qint64> WorkshopArchive::addVehicle(const ArchiveVehicle& vehicle) {
    return ArchiveResult<qint64>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::updateVehicle(const ArchiveVehicle& vehicle) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::removeVehicle(qint64 id) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveVehicle> WorkshopArchive::vehicle(qint64 id) {
    return ArchiveResult<ArchiveVehicle>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveVehicle>> WorkshopArchive::vehicles() {
    return ArchiveResult<QList<ArchiveVehicle>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<ArchiveDone> WorkshopArchive::installEcu(const QString& ecuSerial, qint64 vehicleId,
                                                       const QDateTime& when) {
    return ArchiveResult<ArchiveDone>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveInstallation>> WorkshopArchive::installationsOf(
    const QString& ecuSerial) {
    return ArchiveResult<QList<ArchiveInstallation>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveSearchHit>> WorkshopArchive::search(const QString& text, int limit) {
    return ArchiveResult<QList<ArchiveSearchHit>>::failure(ArchiveError::Kind::NotOpen);
}
ArchiveResult<QList<ArchiveListEntry>> WorkshopArchive::list() {
    return ArchiveResult<QList<ArchiveListEntry>>::failure(ArchiveError::Kind::NotOpen);
}
