#pragma once

#include <QByteArray>
#include <QDateTime>
#include <optional>

#include "ArchiveRecords.h"

// One write of the program's roads, as the server gets it or the local queue keeps it until
// the server is back. Each carries the id the program gave it, so a write sent twice (the
// server committed, the answer was lost) is stored once.
struct ArchiveWrite {
    enum class Kind { EcuSeen = 1, BeginSession, EndSession, Snapshot, Journal };

    Kind kind = Kind::EcuSeen;
    QString uid;  // the session's id, or the snapshot's or journal row's own
    QDateTime when;
    ArchiveEcuIdentity ecu;         // EcuSeen
    ArchiveSession session;         // BeginSession
    ArchiveSnapshotInput snapshot;  // Snapshot
    ArchiveJournalInput journal;    // Journal

    static QString newUid();
    QByteArray toBytes() const;
    static std::optional<ArchiveWrite> fromBytes(const QByteArray& bytes);
};
