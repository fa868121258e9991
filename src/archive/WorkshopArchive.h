#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

#include "ArchiveRecords.h"
#include "ArchiveResult.h"

// The workshop archive: every ECU the program meets, the workshop's vehicles, sessions,
// snapshots of the configuration and the journal of values written through. SQLite (a file,
// by default "Archivio.sqlite" in the base directory) or a shared PostgreSQL server.
//
// Every call returns a result instead of throwing; every write is one transaction, so a failed
// call leaves the archive as it was. While a server cannot be reached, sessions, snapshots and
// journal rows wait in order in a local queue (SQLite in the base directory) and are sent once
// when it is back: the next write or flushQueue() tries again.
//
// One object per thread (Qt SQL connections belong to the thread that made them).
class WorkshopArchive {
  public:
    static constexpr int kMaxSerial = 64;
    static constexpr int kMaxText = 1000;  // plate, names, reason, description, ...
    static constexpr int kMaxNotes = 10000;
    static constexpr qint64 kMaxIniText = 4 * 1024 * 1024;
    static constexpr const char* kDefaultFileName = "Archivio.sqlite";
    static constexpr const char* kQueueFileName = "ArchivioCoda.sqlite";

    enum class State {
        Closed,
        Open,      // reads and writes
        ReadOnly,  // written by a newer program that allows older readers
        Queueing,  // a server that cannot be reached: writes go to the local queue
    };

    WorkshopArchive();
    ~WorkshopArchive();
    WorkshopArchive(const WorkshopArchive&) = delete;
    WorkshopArchive& operator=(const WorkshopArchive&) = delete;

    // location: empty = kDefaultFileName in baseDirectory; "postgresql://user@host:port/db" =
    // a server (libpq's password file and environment apply); anything else = a SQLite file.
    // Creates or migrates the schema. A server that cannot be reached still opens, in the
    // Queueing state, and returns ServerUnreachable so the program can say so. TooNew with
    // state ReadOnly: the archive can be read but not written.
    ArchiveResult<ArchiveDone> open(const QString& location, const QString& baseDirectory);
    void close();

    State state() const;
    bool isOpen() const { return state() != State::Closed; }
    bool isPostgres() const;
    // The location in use (the SQLite file's absolute path, or the URL without a password).
    QString location() const;
    // The schema version of the database, and the one this program writes.
    int schemaVersion() const;
    static int programSchemaVersion();

    // The local queue: rows waiting for the server, and sending them now (how many were sent).
    int queuedCount() const;
    ArchiveResult<int> flushQueue();

    // ECUs
    ArchiveResult<ArchiveDone> ecuSeen(const ArchiveEcuIdentity& ecu, const QDateTime& when);
    ArchiveResult<ArchiveEcu> ecu(const QString& serial);

    // Sessions: beginSession returns the new session's id.
    ArchiveResult<QString> beginSession(const QString& ecuSerial, const QDateTime& when,
                                        const QString& computer, const QString& user);
    ArchiveResult<ArchiveDone> endSession(const QString& sessionId, const QDateTime& when);
    ArchiveResult<QList<ArchiveSession>> sessionsOf(const QString& ecuSerial);

    // Snapshots. One equal (same hash) to the ECU's latest is noted in its history, not
    // stored again; an import (no ECU, a file name) equal to an earlier import of the same
    // file name adds nothing.
    ArchiveResult<ArchiveStoreOutcome> storeSnapshot(const ArchiveSnapshotInput& snapshot);
    // An existing configuration file brought in: reason "import", no ECU, the file's name and
    // time; the description defaults to the file's name.
    ArchiveResult<ArchiveStoreOutcome> importSnapshot(const QByteArray& iniText,
                                                      const QString& fileName,
                                                      const QDateTime& fileTime,
                                                      const QString& description = {});
    // Many in one transaction (a folder's import); all or nothing.
    ArchiveResult<QList<ArchiveStoreOutcome>> storeSnapshots(
        const QList<ArchiveSnapshotInput>& snapshots);
    ArchiveResult<ArchiveSnapshot> snapshot(qint64 id);
    // The INI text as it was stored, checked against its hash.
    ArchiveResult<QByteArray> snapshotText(qint64 id);
    // Gives a snapshot of no ECU (an import) to an ECU.
    ArchiveResult<ArchiveDone> linkSnapshotToEcu(qint64 snapshotId, const QString& ecuSerial);

    // Journal
    ArchiveResult<ArchiveDone> journal(const ArchiveJournalInput& entry);
    ArchiveResult<QList<ArchiveJournalEntry>> journalOf(const QString& ecuSerial);

    // An ECU's snapshots and noted meetings, oldest first.
    ArchiveResult<QList<ArchiveHistoryEntry>> history(const QString& ecuSerial);

    // Vehicles. addVehicle returns the new id.
    ArchiveResult<qint64> addVehicle(const ArchiveVehicle& vehicle);
    ArchiveResult<ArchiveDone> updateVehicle(const ArchiveVehicle& vehicle);
    ArchiveResult<ArchiveDone> removeVehicle(qint64 id);
    ArchiveResult<ArchiveVehicle> vehicle(qint64 id);
    ArchiveResult<QList<ArchiveVehicle>> vehicles();
    // Puts the ECU into the vehicle from `when`, taking it out of any other (vehicleId 0: out
    // of every vehicle).
    ArchiveResult<ArchiveDone> installEcu(const QString& ecuSerial, qint64 vehicleId,
                                          const QDateTime& when);
    ArchiveResult<QList<ArchiveInstallation>> installationsOf(const QString& ecuSerial);

    // The search of the archive window, run at each keystroke: words of plate, VIN, customer,
    // description, serial number and file name that start with each word of `text`, without
    // regard to case; at most `limit` hits: vehicles, then ECUs, then snapshots (newest first).
    ArchiveResult<QList<ArchiveSearchHit>> search(const QString& text, int limit = 50);
    // ECUs and vehicles, each with its latest snapshot.
    ArchiveResult<QList<ArchiveListEntry>> list();

  private:
    struct Private;
    std::unique_ptr<Private> d_;
};
