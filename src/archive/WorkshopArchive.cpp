#include "WorkshopArchive.h"

#include <QDir>

#include "ArchiveLocation.h"
#include "ArchiveQueue.h"
#include "ArchiveSchema.h"
#include "ArchiveSearchWords.h"
#include "ArchiveStore.h"
#include "Clock.h"

namespace {
using Kind = ArchiveError::Kind;
constexpr int kRetryMs = 10000;   // how often a write tries the server again while queueing
constexpr int kFlushBatch = 200;  // queued writes per server transaction

ArchiveError invalid(const QString& why) { return {Kind::InvalidInput, why}; }

ArchiveError checkText(const QString& what, const QString& text,
                       int max = WorkshopArchive::kMaxText) {
    if (text.size() > max)
        return invalid(QStringLiteral("%1 is longer than %2 characters").arg(what).arg(max));
    return {};
}

ArchiveError checkSerial(const QString& serial) {
    if (serial.trimmed().isEmpty()) return invalid(QStringLiteral("the ECU has no serial number"));
    return checkText(QStringLiteral("the serial number"), serial, WorkshopArchive::kMaxSerial);
}

ArchiveError checkTime(const QDateTime& time) {
    if (!time.isValid()) return invalid(QStringLiteral("the time is not valid"));
    return {};
}

ArchiveError firstOf(std::initializer_list<ArchiveError> errors) {
    for (const ArchiveError& e : errors)
        if (e.isError()) return e;
    return {};
}

ArchiveError checkSnapshot(const ArchiveSnapshotInput& s) {
    if (s.iniText.isEmpty()) return invalid(QStringLiteral("the configuration is empty"));
    if (s.iniText.size() > WorkshopArchive::kMaxIniText)
        return invalid(QStringLiteral("the configuration is larger than %1 bytes")
                           .arg(WorkshopArchive::kMaxIniText));
    if (s.ecuSerial.isEmpty() && s.fileName.isEmpty())
        return invalid(QStringLiteral("a snapshot belongs to an ECU or comes from a file"));
    return firstOf({s.ecuSerial.isEmpty() ? ArchiveError{} : checkSerial(s.ecuSerial),
                    checkTime(s.time), checkText(QStringLiteral("the reason"), s.reason),
                    checkText(QStringLiteral("the description"), s.description),
                    checkText(QStringLiteral("the file name"), s.fileName)});
}

ArchiveError checkVehicle(const ArchiveVehicle& v) {
    return firstOf({checkText(QStringLiteral("the plate"), v.plate),
                    checkText(QStringLiteral("the VIN"), v.vin),
                    checkText(QStringLiteral("the make and model"), v.makeModel),
                    checkText(QStringLiteral("the customer's name"), v.customerName),
                    checkText(QStringLiteral("the telephone"), v.customerPhone),
                    checkText(QStringLiteral("the notes"), v.notes, WorkshopArchive::kMaxNotes)});
}

template <typename T>
ArchiveResult<T> failed(const ArchiveError& e) {
    return ArchiveResult<T>(e);
}
}  // namespace

struct WorkshopArchive::Private {
    ArchiveStore store;
    ArchiveQueue queue;
    ArchiveLocation at;
    QString baseDirectory;
    State state = State::Closed;
    qint64 lastTry = 0;

    ArchiveError usable() const {
        if (state == State::Closed)
            return {Kind::NotOpen, QStringLiteral("the archive is not open")};
        return {};
    }
    ArchiveError writable() const {
        if (state == State::ReadOnly)
            return {Kind::TooNew,
                    QStringLiteral("the archive was written by a newer program: read-only")};
        return usable();
    }
    ArchiveError reconnect();
    ArchiveResult<int> flush();
    ArchiveResult<QList<ArchiveStoreOutcome>> write(const QList<ArchiveWrite>& writes);
    // Reads need the server; while queueing they try it again (at most every kRetryMs).
    ArchiveError readable();
};

ArchiveError WorkshopArchive::Private::reconnect() {
    lastTry = Clock::current().nowMs();
    ArchiveError e = store.open(at);
    if (!store.isOpen()) return e;  // a newer archive that refuses older readers among them
    state = store.readOnly() ? State::ReadOnly : State::Open;
    return e;
}

ArchiveResult<int> WorkshopArchive::Private::flush() {
    int sent = 0;
    for (;;) {
        auto items = queue.peek(kFlushBatch);
        if (!items.ok()) return items.error();
        if (items.value().isEmpty()) return sent;
        QList<ArchiveWrite> writes;
        for (const ArchiveQueue::Item& item : items.value()) writes << item.write;
        // The ids make a repeat harmless: if the drop below fails, the next flush resends and
        // the server keeps each write once.
        auto applied = store.applyAll(writes);
        if (!applied.ok()) {
            if (applied.error().kind == Kind::ServerUnreachable) {
                store.close();
                state = State::Queueing;
            }
            return applied.error();
        }
        if (ArchiveError e = queue.drop(items.value().last().seq); e.isError()) return e;
        sent += static_cast<int>(writes.size());
    }
}

ArchiveResult<QList<ArchiveStoreOutcome>> WorkshopArchive::Private::write(
    const QList<ArchiveWrite>& writes) {
    if (ArchiveError e = writable(); e.isError()) return e;
    if (state == State::Queueing && Clock::current().nowMs() - lastTry >= kRetryMs &&
        !reconnect().isError())
        flush();
    if (state == State::Open && queue.isOpen() && queue.count() > 0) flush();  // keep the order
    if (state == State::Open) {
        auto applied = store.applyAll(writes);
        if (applied.ok() || applied.error().kind != Kind::ServerUnreachable || !queue.isOpen())
            return applied;
        store.close();
        state = State::Queueing;
        lastTry = Clock::current().nowMs();
    }
    if (ArchiveError e = queue.push(writes); e.isError()) return e;
    return QList<ArchiveStoreOutcome>(writes.size(), {ArchiveStoreOutcome::Kind::Queued, 0});
}

ArchiveError WorkshopArchive::Private::readable() {
    if (ArchiveError e = usable(); e.isError()) return e;
    if (state != State::Queueing) return {};
    if (Clock::current().nowMs() - lastTry >= kRetryMs && !reconnect().isError()) {
        flush();
        if (state != State::Queueing) return {};
    }
    return {Kind::ServerUnreachable, QStringLiteral("the archive server cannot be reached")};
}

WorkshopArchive::WorkshopArchive() : d_(std::make_unique<Private>()) {}
WorkshopArchive::~WorkshopArchive() = default;

ArchiveResult<ArchiveDone> WorkshopArchive::open(const QString& location,
                                                 const QString& baseDirectory) {
    close();
    d_->baseDirectory = baseDirectory;
    d_->at = ArchiveLocation::parse(location, baseDirectory);
    if (!d_->at.valid) return failed<ArchiveDone>({Kind::CannotOpen, d_->at.problem});
    ArchiveError e = d_->reconnect();
    if (d_->at.engine == ArchiveLocation::Engine::Postgres) {
        // Writes wait here while the server is away; ones left from an earlier run go first.
        const ArchiveError q = d_->queue.open(
            QDir(baseDirectory).absoluteFilePath(QString::fromLatin1(kQueueFileName)));
        if (e.kind == Kind::ServerUnreachable && !q.isError()) d_->state = State::Queueing;
        if (d_->state == State::Open && d_->queue.count() > 0) {
            auto sent = d_->flush();
            if (!sent.ok() && !e.isError()) e = sent.error();
        }
        if (q.isError() && !e.isError()) e = q;
    }
    if (e.isError()) return failed<ArchiveDone>(e);
    return ArchiveDone{};
}

void WorkshopArchive::close() {
    d_->store.close();
    d_->queue.close();
    d_->state = State::Closed;
}

WorkshopArchive::State WorkshopArchive::state() const { return d_->state; }
bool WorkshopArchive::isPostgres() const {
    return d_->state != State::Closed && d_->at.engine == ArchiveLocation::Engine::Postgres;
}
QString WorkshopArchive::location() const {
    return d_->state == State::Closed ? QString() : d_->at.displayText();
}
int WorkshopArchive::schemaVersion() const { return d_->store.schemaVersion(); }
int WorkshopArchive::programSchemaVersion() { return ArchiveSchema::currentVersion(); }
int WorkshopArchive::queuedCount() const { return d_->queue.count(); }

ArchiveResult<int> WorkshopArchive::flushQueue() {
    if (ArchiveError e = d_->writable(); e.isError()) return e;
    if (!d_->queue.isOpen()) return 0;
    if (d_->state == State::Queueing)
        if (ArchiveError e = d_->reconnect(); e.isError()) return e;
    return d_->flush();
}

namespace {
ArchiveResult<ArchiveDone> done(const ArchiveResult<QList<ArchiveStoreOutcome>>& r) {
    if (!r.ok()) return r.error();
    return ArchiveDone{};
}
}  // namespace

ArchiveResult<ArchiveDone> WorkshopArchive::ecuSeen(const ArchiveEcuIdentity& ecu,
                                                    const QDateTime& when) {
    if (ArchiveError e = firstOf({checkSerial(ecu.serial), checkTime(when),
                                  checkText(QStringLiteral("the firmware version"), ecu.firmware)});
        e.isError())
        return e;
    ArchiveWrite w;
    w.kind = ArchiveWrite::Kind::EcuSeen;
    w.when = when;
    w.ecu = ecu;
    return done(d_->write({w}));
}

ArchiveResult<ArchiveEcu> WorkshopArchive::ecu(const QString& serial) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.ecu(serial);
}

ArchiveResult<QString> WorkshopArchive::beginSession(const QString& ecuSerial,
                                                     const QDateTime& when, const QString& computer,
                                                     const QString& user) {
    if (ArchiveError e = firstOf({checkSerial(ecuSerial), checkTime(when),
                                  checkText(QStringLiteral("the computer name"), computer),
                                  checkText(QStringLiteral("the user name"), user)});
        e.isError())
        return e;
    ArchiveWrite w;
    w.kind = ArchiveWrite::Kind::BeginSession;
    w.uid = ArchiveWrite::newUid();
    w.when = when;
    w.session = {w.uid, ecuSerial, when, {}, computer, user};
    auto r = d_->write({w});
    if (!r.ok()) return r.error();
    return w.uid;
}

ArchiveResult<ArchiveDone> WorkshopArchive::endSession(const QString& sessionId,
                                                       const QDateTime& when) {
    if (ArchiveError e = checkTime(when); e.isError()) return e;
    ArchiveWrite w;
    w.kind = ArchiveWrite::Kind::EndSession;
    w.uid = sessionId;
    w.when = when;
    return done(d_->write({w}));
}

ArchiveResult<QList<ArchiveSession>> WorkshopArchive::sessionsOf(const QString& ecuSerial) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.sessionsOf(ecuSerial);
}

ArchiveResult<QList<ArchiveStoreOutcome>> WorkshopArchive::storeSnapshots(
    const QList<ArchiveSnapshotInput>& snapshots) {
    QList<ArchiveWrite> writes;
    for (const ArchiveSnapshotInput& s : snapshots) {
        if (ArchiveError e = checkSnapshot(s); e.isError()) return e;
        ArchiveWrite w;
        w.kind = ArchiveWrite::Kind::Snapshot;
        w.uid = ArchiveWrite::newUid();
        w.when = s.time;
        w.snapshot = s;
        writes << w;
    }
    if (writes.isEmpty()) return QList<ArchiveStoreOutcome>();
    return d_->write(writes);
}

ArchiveResult<ArchiveStoreOutcome> WorkshopArchive::storeSnapshot(
    const ArchiveSnapshotInput& snapshot) {
    auto r = storeSnapshots({snapshot});
    if (!r.ok()) return r.error();
    return r.value().first();
}

ArchiveResult<ArchiveStoreOutcome> WorkshopArchive::importSnapshot(const QByteArray& iniText,
                                                                   const QString& fileName,
                                                                   const QDateTime& fileTime,
                                                                   const QString& description) {
    ArchiveSnapshotInput s;
    s.time = fileTime;
    s.reason = QStringLiteral("import");
    s.fileName = fileName;
    s.description = description.isEmpty() ? fileName : description;
    s.iniText = iniText;
    if (fileName.isEmpty())
        return failed<ArchiveStoreOutcome>(
            invalid(QStringLiteral("an import needs its file name")));
    return storeSnapshot(s);
}

ArchiveResult<ArchiveSnapshot> WorkshopArchive::snapshot(qint64 id) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.snapshot(id);
}

ArchiveResult<QByteArray> WorkshopArchive::snapshotText(qint64 id) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.snapshotText(id);
}

ArchiveResult<ArchiveDone> WorkshopArchive::linkSnapshotToEcu(qint64 snapshotId,
                                                              const QString& ecuSerial) {
    if (ArchiveError e = firstOf({d_->writable(), checkSerial(ecuSerial), d_->readable()});
        e.isError())
        return e;
    return d_->store.linkSnapshotToEcu(snapshotId, ecuSerial);
}

ArchiveResult<ArchiveDone> WorkshopArchive::journal(const ArchiveJournalInput& entry) {
    if (ArchiveError e = firstOf({checkSerial(entry.ecuSerial), checkTime(entry.time)});
        e.isError())
        return e;
    ArchiveWrite w;
    w.kind = ArchiveWrite::Kind::Journal;
    w.uid = ArchiveWrite::newUid();
    w.when = entry.time;
    w.journal = entry;
    return done(d_->write({w}));
}

ArchiveResult<QList<ArchiveJournalEntry>> WorkshopArchive::journalOf(const QString& ecuSerial) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.journalOf(ecuSerial);
}

ArchiveResult<QList<ArchiveHistoryEntry>> WorkshopArchive::history(const QString& ecuSerial) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.history(ecuSerial);
}

ArchiveResult<qint64> WorkshopArchive::addVehicle(const ArchiveVehicle& vehicle) {
    if (ArchiveError e = firstOf({d_->writable(), checkVehicle(vehicle), d_->readable()});
        e.isError())
        return e;
    return d_->store.addVehicle(vehicle);
}

ArchiveResult<ArchiveDone> WorkshopArchive::updateVehicle(const ArchiveVehicle& vehicle) {
    if (ArchiveError e = firstOf({d_->writable(), checkVehicle(vehicle), d_->readable()});
        e.isError())
        return e;
    return d_->store.updateVehicle(vehicle);
}

ArchiveResult<ArchiveDone> WorkshopArchive::removeVehicle(qint64 id) {
    if (ArchiveError e = firstOf({d_->writable(), d_->readable()}); e.isError()) return e;
    return d_->store.removeVehicle(id);
}

ArchiveResult<ArchiveVehicle> WorkshopArchive::vehicle(qint64 id) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.vehicle(id);
}

ArchiveResult<QList<ArchiveVehicle>> WorkshopArchive::vehicles() {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.vehicles();
}

ArchiveResult<ArchiveDone> WorkshopArchive::installEcu(const QString& ecuSerial, qint64 vehicleId,
                                                       const QDateTime& when) {
    if (ArchiveError e =
            firstOf({d_->writable(), checkSerial(ecuSerial), checkTime(when), d_->readable()});
        e.isError())
        return e;
    return d_->store.installEcu(ecuSerial, vehicleId, when.toMSecsSinceEpoch());
}

ArchiveResult<QList<ArchiveInstallation>> WorkshopArchive::installationsOf(
    const QString& ecuSerial) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.installationsOf(ecuSerial);
}

ArchiveResult<QList<ArchiveSearchHit>> WorkshopArchive::search(const QString& text, int limit) {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.search(ArchiveSearchWords::of(text.left(kMaxText)), qBound(1, limit, 1000));
}

ArchiveResult<QList<ArchiveListEntry>> WorkshopArchive::list() {
    if (ArchiveError e = d_->readable(); e.isError()) return e;
    return d_->store.list();
}
