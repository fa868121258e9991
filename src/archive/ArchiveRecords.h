#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The plain records the archive takes and gives. Times are kept to the millisecond, in UTC.
// Ids are the database's; 0 means "none".

// What the program knows of an ECU when it meets one.
struct ArchiveEcuIdentity {
    QString serial;  // the key of an ECU; at most kMaxSerial characters
    int modelCode = 0;
    int customerCode = 0;
    QString firmware;
};

struct ArchiveEcu {
    ArchiveEcuIdentity identity;
    QDateTime firstSeen;
    QDateTime lastSeen;
};

struct ArchiveVehicle {
    qint64 id = 0;  // 0 for a vehicle not yet stored
    QString plate;
    QString vin;
    QString makeModel;
    QString customerName;
    QString customerPhone;
    QString notes;
};

// Which ECU was in which vehicle from when to when (an open end: still there).
struct ArchiveInstallation {
    QString ecuSerial;
    qint64 vehicleId = 0;
    QDateTime from;
    QDateTime until;  // invalid while the ECU is in the vehicle
};

// One connection from connect to disconnect. The id is made by the program (a UUID), so
// a session can start while a shared server is away.
struct ArchiveSession {
    QString id;
    QString ecuSerial;
    QDateTime begin;
    QDateTime end;  // invalid while open
    QString computer;
    QString user;
};

// A configuration to keep. ecuSerial empty: a snapshot of no ECU (an imported file).
struct ArchiveSnapshotInput {
    QString ecuSerial;
    QString sessionId;  // may be empty
    QDateTime time;
    QString reason;  // "connect", "before load", ..., "import"
    QString description;
    QString fileName;  // the imported file's name, else empty
    QByteArray iniText;
};

struct ArchiveSnapshot {
    qint64 id = 0;
    QString ecuSerial;
    QString sessionId;
    QDateTime time;
    QString reason;
    QString description;
    QString fileName;
    QByteArray hash;        // SHA-256 of the INI text, hex
    qint64 textSize = 0;    // bytes of the INI text
    qint64 storedSize = 0;  // bytes kept (compressed)
};

// What storing a snapshot did.
struct ArchiveStoreOutcome {
    enum class Kind {
        Stored,  // a new snapshot, id set
        Noted,   // equal to the ECU's latest (or the same file imported again): id of that one
        Queued,  // the server is away; the snapshot waits in the local queue (id 0)
    };
    Kind kind = Kind::Stored;
    qint64 id = 0;
};

// An event in an ECU's history: a stored snapshot, or a time it was met again unchanged.
struct ArchiveHistoryEntry {
    ArchiveSnapshot snapshot;  // for a noted entry: the snapshot it equalled
    bool noted = false;
    QDateTime time;  // the event's own time
    QString reason;  // the event's own reason
    QString description;
};

// One value written through to the ECU.
struct ArchiveJournalInput {
    QString ecuSerial;
    QString sessionId;
    QDateTime time;
    int parameterKey = 0;
    int element = 0;
    qint64 oldRaw = 0;
    qint64 newRaw = 0;
    bool success = false;
};

struct ArchiveJournalEntry {
    qint64 id = 0;
    ArchiveJournalInput entry;
};

// A search result: a vehicle, an ECU or a snapshot, with its text for a list.
struct ArchiveSearchHit {
    enum class Kind { Vehicle, Ecu, Snapshot };
    Kind kind = Kind::Ecu;
    qint64 vehicleId = 0;   // Vehicle
    QString ecuSerial;      // Ecu; Vehicle: the ECU in it now; Snapshot: its ECU, if any
    qint64 snapshotId = 0;  // Snapshot
    QString text;           // plate and customer, serial and model, or the description
};

// A line of the archive's overview: an ECU or a vehicle with the latest snapshot.
struct ArchiveListEntry {
    ArchiveEcu ecu;          // serial empty for a vehicle without an ECU
    ArchiveVehicle vehicle;  // id 0 for an ECU in no vehicle
    ArchiveSnapshot latest;  // id 0 when none
};
