#include "ArchiveWrite.h"

#include <QDataStream>
#include <QIODevice>
#include <QUuid>

namespace {
constexpr quint32 kMagic = 0x41524b31;  // "ARK1"

QDataStream& operator<<(QDataStream& s, const ArchiveEcuIdentity& e) {
    return s << e.serial << qint32(e.modelCode) << qint32(e.customerCode) << e.firmware;
}
QDataStream& operator>>(QDataStream& s, ArchiveEcuIdentity& e) {
    qint32 model = 0, customer = 0;
    s >> e.serial >> model >> customer >> e.firmware;
    e.modelCode = model;
    e.customerCode = customer;
    return s;
}
QDataStream& operator<<(QDataStream& s, const ArchiveSession& e) {
    return s << e.id << e.ecuSerial << e.begin << e.end << e.computer << e.user;
}
QDataStream& operator>>(QDataStream& s, ArchiveSession& e) {
    return s >> e.id >> e.ecuSerial >> e.begin >> e.end >> e.computer >> e.user;
}
QDataStream& operator<<(QDataStream& s, const ArchiveSnapshotInput& e) {
    // The queue keeps the text compressed: a day away from the server is many snapshots.
    return s << e.ecuSerial << e.sessionId << e.time << e.reason << e.description << e.fileName
             << qCompress(e.iniText);
}
QDataStream& operator>>(QDataStream& s, ArchiveSnapshotInput& e) {
    QByteArray packed;
    s >> e.ecuSerial >> e.sessionId >> e.time >> e.reason >> e.description >> e.fileName >> packed;
    e.iniText = qUncompress(packed);
    if (!packed.isEmpty() && e.iniText.isEmpty()) s.setStatus(QDataStream::ReadCorruptData);
    return s;
}
QDataStream& operator<<(QDataStream& s, const ArchiveJournalInput& e) {
    return s << e.ecuSerial << e.sessionId << e.time << qint32(e.parameterKey) << qint32(e.element)
             << qint64(e.oldRaw) << qint64(e.newRaw) << e.success;
}
QDataStream& operator>>(QDataStream& s, ArchiveJournalInput& e) {
    qint32 key = 0, element = 0;
    qint64 oldRaw = 0, newRaw = 0;
    s >> e.ecuSerial >> e.sessionId >> e.time >> key >> element >> oldRaw >> newRaw >> e.success;
    e.parameterKey = key;
    e.element = element;
    e.oldRaw = oldRaw;
    e.newRaw = newRaw;
    return s;
}
}  // namespace

QString ArchiveWrite::newUid() { return QUuid::createUuid().toString(QUuid::WithoutBraces); }

QByteArray ArchiveWrite::toBytes() const {
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_4);
    s << kMagic << qint32(kind) << uid << when;
    switch (kind) {
        case Kind::EcuSeen:
            s << ecu;
            break;
        case Kind::BeginSession:
            s << session;
            break;
        case Kind::EndSession:
            break;
        case Kind::Snapshot:
            s << snapshot;
            break;
        case Kind::Journal:
            s << journal;
            break;
    }
    return bytes;
}

std::optional<ArchiveWrite> ArchiveWrite::fromBytes(const QByteArray& bytes) {
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    qint32 kind = 0;
    ArchiveWrite w;
    s >> magic >> kind >> w.uid >> w.when;
    if (magic != kMagic || kind < qint32(Kind::EcuSeen) || kind > qint32(Kind::Journal))
        return std::nullopt;
    w.kind = Kind(kind);
    switch (w.kind) {
        case Kind::EcuSeen:
            s >> w.ecu;
            break;
        case Kind::BeginSession:
            s >> w.session;
            break;
        case Kind::EndSession:
            break;
        case Kind::Snapshot:
            s >> w.snapshot;
            break;
        case Kind::Journal:
            s >> w.journal;
            break;
    }
    if (s.status() != QDataStream::Ok) return std::nullopt;
    return w;
}
