#include "ArchiveStore.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QTimeZone>
#include <QUuid>

#include "ArchiveCodec.h"
#include "ArchiveSchema.h"
#include "ArchiveSearchWords.h"

namespace {
constexpr int kTermVehicle = 0;
constexpr int kTermEcu = 1;
constexpr int kTermSnapshot = 2;
constexpr int kSearchRowsPerHit = 4;  // rows read for each hit wanted: words of a record repeat it
constexpr int kCodecPlain = 1;
constexpr int kCodecDictionary = 2;
constexpr int kSqliteBusyMs = 15000;  // a writer on another bench holds the file this long at most
constexpr int kConnectTimeoutS = 3;
// A server whose network went silent (a pulled cable sends no reset) is given up after this
// long instead of TCP's minutes; the writes then wait in the local queue.
constexpr int kUnansweredMs = 5000;

QVariant timeValue(const QDateTime& t) {
    return t.isValid() ? QVariant(t.toMSecsSinceEpoch()) : QVariant(QMetaType(QMetaType::LongLong));
}
QDateTime timeOf(const QVariant& v) {
    return v.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(v.toLongLong(), Qt::UTC);
}

bool anyOf(const QString& text, std::initializer_list<const char*> parts) {
    for (const char* part : parts)
        if (text.contains(QLatin1String(part), Qt::CaseInsensitive)) return true;
    return false;
}

ArchiveError::Kind sqliteKind(const QSqlError& e) {
    const QString code = e.nativeErrorCode();
    const QString text = e.text();
    if (code == QLatin1String("26") || code == QLatin1String("11") ||
        anyOf(text, {"not a database", "malformed"}))
        return ArchiveError::Kind::Damaged;
    if (code == QLatin1String("13") || anyOf(text, {"disk is full", "database or disk is full"}))
        return ArchiveError::Kind::DiskFull;
    if (code == QLatin1String("8") || anyOf(text, {"readonly", "read-only"}))
        return ArchiveError::Kind::ReadOnly;
    if (code == QLatin1String("14") || anyOf(text, {"unable to open"}))
        return ArchiveError::Kind::CannotOpen;
    return ArchiveError::Kind::Database;
}

ArchiveError::Kind postgresKind(const QSqlError& e) {
    const QString state = e.nativeErrorCode();
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("57P")) ||
        anyOf(e.text(), {"could not connect", "connection refused", "server closed the connection",
                         "no connection to the server", "timeout expired", "terminating connection",
                         "the database system is"}))
        return ArchiveError::Kind::ServerUnreachable;
    if (state == QLatin1String("53100")) return ArchiveError::Kind::DiskFull;
    if (state == QLatin1String("25006")) return ArchiveError::Kind::ReadOnly;
    if (state.startsWith(QLatin1String("28")) || state == QLatin1String("3D000"))
        return ArchiveError::Kind::CannotOpen;  // authentication, no such database
    return ArchiveError::Kind::Database;
}

ArchiveSnapshot snapshotFrom(const QSqlQuery& q, int at) {
    // columns: id, ecu_serial, session_uid, time, reason, description, file_name, hash,
    // text_size, length(body)
    ArchiveSnapshot s;
    s.id = q.value(at).toLongLong();
    s.ecuSerial = q.value(at + 1).toString();
    s.sessionId = q.value(at + 2).toString();
    s.time = timeOf(q.value(at + 3));
    s.reason = q.value(at + 4).toString();
    s.description = q.value(at + 5).toString();
    s.fileName = q.value(at + 6).toString();
    s.hash = q.value(at + 7).toByteArray();
    s.textSize = q.value(at + 8).toLongLong();
    s.storedSize = q.value(at + 9).toLongLong();
    return s;
}
#define SNAPSHOT_COLUMNS(t)                                                                       \
    t ".id, " t ".ecu_serial, " t ".session_uid, " t ".time, " t ".reason, " t ".description, " t \
      ".file_name, " t ".hash, " t ".text_size, length(" t ".body)"

ArchiveVehicle vehicleFrom(const QSqlQuery& q, int at) {
    // columns: id, plate, vin, make_model, customer_name, customer_phone, notes
    ArchiveVehicle v;
    v.id = q.value(at).toLongLong();
    v.plate = q.value(at + 1).toString();
    v.vin = q.value(at + 2).toString();
    v.makeModel = q.value(at + 3).toString();
    v.customerName = q.value(at + 4).toString();
    v.customerPhone = q.value(at + 5).toString();
    v.notes = q.value(at + 6).toString();
    return v;
}
#define VEHICLE_COLUMNS(t)                                                     \
    t ".id, " t ".plate, " t ".vin, " t ".make_model, " t ".customer_name, " t \
      ".customer_phone, " t ".notes"

ArchiveEcu ecuFrom(const QSqlQuery& q, int at) {
    // columns: serial, model_code, customer_code, firmware, first_seen, last_seen
    ArchiveEcu e;
    e.identity.serial = q.value(at).toString();
    e.identity.modelCode = q.value(at + 1).toInt();
    e.identity.customerCode = q.value(at + 2).toInt();
    e.identity.firmware = q.value(at + 3).toString();
    e.firstSeen = timeOf(q.value(at + 4));
    e.lastSeen = timeOf(q.value(at + 5));
    return e;
}
#define ECU_COLUMNS(t)                                                                       \
    t ".serial, " t ".model_code, " t ".customer_code, " t ".firmware, " t ".first_seen, " t \
      ".last_seen"
}  // namespace

ArchiveStore::ArchiveStore()
    : connectionName_(QStringLiteral("archive-") +
                      QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

ArchiveStore::~ArchiveStore() { close(); }

void ArchiveStore::close() {
    qDeleteAll(prepared_);
    prepared_.clear();
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
    }
    readOnly_ = false;
    schemaVersion_ = 0;
}

ArchiveError ArchiveStore::open(const ArchiveLocation& at) {
    close();
    at_ = at;
    if (!at.valid) return {ArchiveError::Kind::CannotOpen, at.problem};
    if (ArchiveError e = connect(); e.isError()) {
        close();
        return e;
    }
    ArchiveError e = migrate();
    if (e.isError() && !readOnly_) close();
    return e;
}

ArchiveError ArchiveStore::connect() {
    const bool pg = isPostgres();
    if (!QSqlDatabase::isDriverAvailable(pg ? "QPSQL" : "QSQLITE"))
        return {
            ArchiveError::Kind::CannotOpen,
            QStringLiteral("the Qt SQL driver %1 is not installed").arg(pg ? "QPSQL" : "QSQLITE")};
    db_ = QSqlDatabase::addDatabase(pg ? "QPSQL" : "QSQLITE", connectionName_);
    if (pg) {
        db_.setHostName(at_.host);
        if (at_.port >= 0) db_.setPort(at_.port);
        db_.setUserName(at_.user);
        db_.setPassword(at_.password);
        db_.setDatabaseName(at_.database);
        QString options = QStringLiteral("connect_timeout=%1;tcp_user_timeout=%2")
                              .arg(kConnectTimeoutS)
                              .arg(kUnansweredMs);
        if (!at_.options.isEmpty()) options += QLatin1Char(';') + at_.options;
        db_.setConnectOptions(options);
    } else {
        const QFileInfo file(at_.filePath);
        if (!file.exists() && !QFileInfo(file.absolutePath()).isWritable())
            return {
                ArchiveError::Kind::ReadOnly,
                QStringLiteral("cannot create %1: the folder is not writable").arg(at_.filePath)};
        db_.setDatabaseName(at_.filePath);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kSqliteBusyMs));
    }
    if (!db_.open()) return failure(db_.lastError());
    if (!pg) {
        // WAL: readers never wait for the writer, and a killed writer leaves the file whole.
        for (const char* pragma :
             {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
            QSqlQuery q(db_);
            if (!q.exec(QString::fromLatin1(pragma))) return failure(q.lastError());
        }
    }
    return {};
}

bool ArchiveStore::readSchema(int& version, int& oldestReader, bool& exists) {
    const char* existsSql =
        isPostgres()
            ? "SELECT count(*) FROM information_schema.tables WHERE table_schema ="
              " current_schema() AND table_name = 'archive_schema'"
            : "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'archive_schema'";
    QSqlQuery* q = run(existsSql);
    if (!q || !q->next()) return false;
    exists = q->value(0).toInt() > 0;
    q->finish();
    version = oldestReader = 0;
    if (!exists) {
        if (isPostgres()) return true;
        // A SQLite file with tables of its own is not an archive: never write into it.
        QSqlQuery* other = run("SELECT count(*) FROM sqlite_master");
        if (!other || !other->next()) return false;
        const int tables = other->value(0).toInt();
        other->finish();
        if (tables > 0) {
            error_ = {
                ArchiveError::Kind::Damaged,
                QStringLiteral("%1 is a database but not a workshop archive").arg(at_.filePath)};
            return false;
        }
        return true;
    }
    QSqlQuery* s = run("SELECT version, oldest_reader FROM archive_schema WHERE id = 1");
    if (!s) return false;
    if (!s->next()) {
        error_ = {ArchiveError::Kind::Damaged, QStringLiteral("the archive has no schema version")};
        return false;
    }
    version = s->value(0).toInt();
    oldestReader = s->value(1).toInt();
    s->finish();
    return true;
}

ArchiveError ArchiveStore::migrate() {
    int version = 0, oldestReader = 0;
    bool exists = false;
    if (!readSchema(version, oldestReader, exists)) return takeError();
    const int mine = ArchiveSchema::currentVersion();
    if (version > mine) {
        schemaVersion_ = version;
        readOnly_ = oldestReader <= mine;
        return {ArchiveError::Kind::TooNew,
                QStringLiteral("the archive has schema %1, this program knows up to %2%3")
                    .arg(version)
                    .arg(mine)
                    .arg(readOnly_ ? QStringLiteral(": opened read-only") : QString())};
    }
    if (version == mine) {
        schemaVersion_ = version;
        return {};
    }
    // Two programs may start on a new database at once: the steps run under one lock and the
    // version is read again inside it.
    return transaction([&] {
        if (isPostgres() && !exec("SELECT pg_advisory_xact_lock(7355608)")) return false;
        if (!readSchema(version, oldestReader, exists)) return false;
        if (!exists) {
            QSqlQuery create(db_);  // statements that make tables cannot be prepared
            if (!create.exec(
                    QStringLiteral("CREATE TABLE archive_schema (id INTEGER PRIMARY KEY,"
                                   " version INTEGER NOT NULL, oldest_reader INTEGER NOT NULL)"))) {
                error_ = failure(create.lastError());
                return false;
            }
        }
        if (!exists &&
            !exec("INSERT INTO archive_schema (id, version, oldest_reader) VALUES (1, 0, 0)"))
            return false;
        for (const ArchiveSchemaStep& step : ArchiveSchema::steps()) {
            if (step.version <= version) continue;
            if (!applyStep(step)) return false;
        }
        schemaVersion_ = mine;
        return true;
    });
}

bool ArchiveStore::applyStep(const ArchiveSchemaStep& step) {
    for (const char* statement : step.statements) {
        QSqlQuery q(db_);
        if (!q.exec(ArchiveSchema::forEngine(statement, at_.engine))) {
            error_ = failure(q.lastError());
            return false;
        }
    }
    return exec("UPDATE archive_schema SET version = ?, oldest_reader = ? WHERE id = 1",
                {step.version, step.oldestReader});
}

ArchiveError ArchiveStore::failure(const QSqlError& error) {
    ArchiveError e{isPostgres() ? postgresKind(error) : sqliteKind(error), error.text()};
    if (e.kind == ArchiveError::Kind::Database && isPostgres() && db_.isOpen()) {
        // A lost server is not always named as such: ask it something.
        QSqlQuery probe(db_);
        if (!probe.exec(QStringLiteral("SELECT 1"))) e.kind = ArchiveError::Kind::ServerUnreachable;
    }
    if (e.kind == ArchiveError::Kind::CannotOpen && !isPostgres() &&
        !QFileInfo(QFileInfo(at_.filePath).absolutePath()).isWritable())
        e.kind = ArchiveError::Kind::ReadOnly;
    return e;
}

ArchiveError ArchiveStore::takeError() {
    ArchiveError e = error_;
    error_ = {};
    if (!e.isError()) e = {ArchiveError::Kind::Database, QStringLiteral("unknown failure")};
    return e;
}

QSqlQuery* ArchiveStore::run(const char* sql, const QVariantList& values) {
    if (!db_.isOpen()) {
        error_ = {ArchiveError::Kind::NotOpen, QStringLiteral("the archive is not open")};
        return nullptr;
    }
    QSqlQuery*& q = prepared_[sql];
    if (!q) {
        q = new QSqlQuery(db_);
        q->setForwardOnly(true);
        if (!q->prepare(QString::fromLatin1(sql))) {
            error_ = failure(q->lastError());
            delete q;
            prepared_.remove(sql);
            return nullptr;
        }
    }
    for (int i = 0; i < values.size(); ++i) {
        // An empty text is a text: the drivers would bind a null QString as NULL. A deliberate
        // NULL comes as a null variant.
        const QVariant& v = values[i];
        const bool emptyText =
            !v.isNull() && v.typeId() == QMetaType::QString && v.toString().isNull();
        q->bindValue(i, emptyText ? QVariant(QString(QLatin1String(""))) : v);
    }
    if (!q->exec()) {
        error_ = failure(q->lastError());
        q->finish();
        return nullptr;
    }
    return q;
}

bool ArchiveStore::exec(const char* sql, const QVariantList& values) {
    QSqlQuery* q = run(sql, values);
    if (q) q->finish();
    return q != nullptr;
}

ArchiveError ArchiveStore::transaction(const std::function<bool()>& body) {
    if (!db_.isOpen())
        return {ArchiveError::Kind::NotOpen, QStringLiteral("the archive is not open")};
    // IMMEDIATE: a SQLite writer takes the lock at the start, so two writers never deadlock
    // half-way; the busy time-out makes the second wait. No statement may still be reading
    // then: it would hold an older view of the file, and SQLite refuses at once to write
    // from it.
    for (QSqlQuery* q : std::as_const(prepared_)) q->finish();
    QSqlQuery begin(db_);
    if (!begin.exec(QString::fromLatin1(isPostgres() ? "BEGIN" : "BEGIN IMMEDIATE")))
        return failure(begin.lastError());
    if (body()) {
        QSqlQuery commit(db_);
        if (commit.exec(QStringLiteral("COMMIT"))) return {};
        error_ = failure(commit.lastError());
    }
    for (QSqlQuery* q : std::as_const(prepared_)) q->finish();
    QSqlQuery rollback(db_);
    rollback.exec(QStringLiteral("ROLLBACK"));
    return takeError();
}

// ---- writes

ArchiveResult<ArchiveStoreOutcome> ArchiveStore::apply(const ArchiveWrite& write) {
    auto all = applyAll({write});
    if (!all.ok()) return all.error();
    return all.value().first();
}

ArchiveResult<QList<ArchiveStoreOutcome>> ArchiveStore::applyAll(
    const QList<ArchiveWrite>& writes) {
    if (readOnly_)
        return ArchiveResult<QList<ArchiveStoreOutcome>>::failure(
            ArchiveError::Kind::TooNew,
            QStringLiteral("the archive was written by a newer program"));
    QList<ArchiveStoreOutcome> outcomes;
    const ArchiveError e = transaction([&] {
        outcomes.clear();
        for (const ArchiveWrite& w : writes) {
            ArchiveStoreOutcome out;
            if (!writeOne(w, out)) return false;
            outcomes << out;
        }
        return true;
    });
    if (e.isError()) return e;
    return outcomes;
}

bool ArchiveStore::writeOne(const ArchiveWrite& w, ArchiveStoreOutcome& out) {
    out = {ArchiveStoreOutcome::Kind::Stored, 0};
    switch (w.kind) {
        case ArchiveWrite::Kind::EcuSeen:
            return writeEcuSeen(w.ecu, w.when.toMSecsSinceEpoch());
        case ArchiveWrite::Kind::BeginSession:
            return writeSession(w.session);
        case ArchiveWrite::Kind::EndSession:
            return writeSessionEnd(w.uid, w.when.toMSecsSinceEpoch());
        case ArchiveWrite::Kind::Snapshot:
            return writeSnapshot(w.uid, w.snapshot, out);
        case ArchiveWrite::Kind::Journal:
            return writeJournal(w.uid, w.journal);
    }
    return false;
}

bool ArchiveStore::addTerms(int kind, qint64 refId, const QString& refSerial,
                            const QStringList& texts) {
    for (const QString& text : texts)
        for (const QString& word : ArchiveSearchWords::of(text))
            if (!exec(
                    "INSERT INTO search_terms (term, kind, ref_id, ref_serial) VALUES (?, ?, ?, ?)"
                    " ON CONFLICT DO NOTHING",
                    {word, kind, refId, refSerial}))
                return false;
    return true;
}

bool ArchiveStore::writeEcuSeen(const ArchiveEcuIdentity& ecu, qint64 when) {
    return exec(
               "INSERT INTO ecus (serial, model_code, customer_code, firmware, first_seen, "
               "last_seen)"
               " VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (serial) DO UPDATE SET"
               " model_code = excluded.model_code, customer_code = excluded.customer_code,"
               " firmware = excluded.firmware,"
               " first_seen = CASE WHEN excluded.first_seen < ecus.first_seen"
               " THEN excluded.first_seen ELSE ecus.first_seen END,"
               " last_seen = CASE WHEN excluded.last_seen > ecus.last_seen"
               " THEN excluded.last_seen ELSE ecus.last_seen END",
               {ecu.serial, ecu.modelCode, ecu.customerCode, ecu.firmware, when, when}) &&
           addTerms(kTermEcu, 0, ecu.serial, {ecu.serial});
}

bool ArchiveStore::ensureEcu(const QString& serial, qint64 when) {
    return exec(
               "INSERT INTO ecus (serial, model_code, customer_code, firmware, first_seen, "
               "last_seen)"
               " VALUES (?, 0, 0, '', ?, ?) ON CONFLICT (serial) DO NOTHING",
               {serial, when, when}) &&
           addTerms(kTermEcu, 0, serial, {serial});
}

bool ArchiveStore::writeSession(const ArchiveSession& s) {
    return ensureEcu(s.ecuSerial, s.begin.toMSecsSinceEpoch()) &&
           exec(
               "INSERT INTO sessions (uid, ecu_serial, begin_time, end_time, computer, user_name)"
               " VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (uid) DO NOTHING",
               {s.id, s.ecuSerial, timeValue(s.begin), timeValue(s.end), s.computer, s.user});
}

bool ArchiveStore::writeSessionEnd(const QString& uid, qint64 when) {
    QSqlQuery* q = run("UPDATE sessions SET end_time = ? WHERE uid = ?", {when, uid});
    if (!q) return false;
    const bool found = q->numRowsAffected() > 0;
    q->finish();
    if (!found) error_ = {ArchiveError::Kind::NotFound, QStringLiteral("no session %1").arg(uid)};
    return found;
}

bool ArchiveStore::dictionaryFor(const QString& serial, qint64& id, QByteArray& text) {
    QSqlQuery* q =
        run("SELECT id FROM snapshots WHERE ecu_serial = ? AND codec = 1 ORDER BY id LIMIT 1",
            {serial});
    if (!q) return false;
    id = q->next() ? q->value(0).toLongLong() : 0;
    q->finish();
    if (id == 0) return true;
    const std::optional<QByteArray> t = textOf(id, 1);
    if (!t) return false;
    text = *t;
    return true;
}

bool ArchiveStore::writeSnapshot(const QString& uid, const ArchiveSnapshotInput& s,
                                 ArchiveStoreOutcome& out) {
    // Sent before (the answer was lost): what it did then.
    if (QSqlQuery* q = run("SELECT id FROM snapshots WHERE uid = ?", {uid}); !q) {
        return false;
    } else if (q->next()) {
        out = {ArchiveStoreOutcome::Kind::Stored, q->value(0).toLongLong()};
        q->finish();
        return true;
    }
    if (QSqlQuery* q = run("SELECT snapshot_id FROM snapshot_notes WHERE uid = ?", {uid}); !q) {
        return false;
    } else if (q->next()) {
        out = {ArchiveStoreOutcome::Kind::Noted, q->value(0).toLongLong()};
        q->finish();
        return true;
    }
    const QByteArray hash = ArchiveCodec::hash(s.iniText);
    const qint64 time = s.time.toMSecsSinceEpoch();
    const bool ofEcu = !s.ecuSerial.isEmpty();
    if (ofEcu) {
        if (!ensureEcu(s.ecuSerial, time)) return false;
        // One writer per ECU at a time decides what its latest snapshot is.
        if (isPostgres() &&
            !exec("SELECT serial FROM ecus WHERE serial = ? FOR UPDATE", {s.ecuSerial}))
            return false;
        QSqlQuery* q =
            run("SELECT id, hash FROM snapshots WHERE ecu_serial = ? ORDER BY id DESC LIMIT 1",
                {s.ecuSerial});
        if (!q) return false;
        const bool same = q->next() && q->value(1).toByteArray() == hash;
        const qint64 latest = same ? q->value(0).toLongLong() : 0;
        q->finish();
        if (same) {
            out = {ArchiveStoreOutcome::Kind::Noted, latest};
            return exec(
                "INSERT INTO snapshot_notes (uid, snapshot_id, ecu_serial, session_uid, time,"
                " reason, description) VALUES (?, ?, ?, ?, ?, ?, ?)",
                {uid, latest, s.ecuSerial, s.sessionId, time, s.reason, s.description});
        }
    } else if (!s.fileName.isEmpty()) {
        QSqlQuery* q = run("SELECT id FROM snapshots WHERE file_name = ? AND hash = ? LIMIT 1",
                           {s.fileName, QString::fromLatin1(hash)});
        if (!q) return false;
        if (q->next()) {
            out = {ArchiveStoreOutcome::Kind::Noted, q->value(0).toLongLong()};
            q->finish();
            return true;
        }
        q->finish();
    }
    qint64 dictionaryId = 0;
    QByteArray dictionary;
    if (ofEcu && !dictionaryFor(s.ecuSerial, dictionaryId, dictionary)) return false;
    const QByteArray body = ArchiveCodec::compress(s.iniText, dictionary);
    QSqlQuery* q = run(
        "INSERT INTO snapshots (uid, ecu_serial, session_uid, time, reason, description,"
        " file_name, hash, text_size, codec, dictionary_id, body)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
        {uid, ofEcu ? QVariant(s.ecuSerial) : QVariant(QMetaType(QMetaType::QString)), s.sessionId,
         time, s.reason, s.description, s.fileName, QString::fromLatin1(hash),
         qint64(s.iniText.size()), dictionaryId ? kCodecDictionary : kCodecPlain,
         dictionaryId ? QVariant(dictionaryId) : QVariant(QMetaType(QMetaType::LongLong)), body});
    if (!q) return false;
    if (!q->next()) {
        error_ = {ArchiveError::Kind::Database, QStringLiteral("the new snapshot has no id")};
        return false;
    }
    out = {ArchiveStoreOutcome::Kind::Stored, q->value(0).toLongLong()};
    q->finish();
    return addTerms(kTermSnapshot, out.id, {}, {s.description, s.fileName});
}

bool ArchiveStore::writeJournal(const QString& uid, const ArchiveJournalInput& j) {
    return ensureEcu(j.ecuSerial, j.time.toMSecsSinceEpoch()) &&
           exec(
               "INSERT INTO journal (uid, ecu_serial, session_uid, time, parameter_key, element,"
               " old_raw, new_raw, success) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"
               " ON CONFLICT (uid) DO NOTHING",
               {uid, j.ecuSerial, j.sessionId, j.time.toMSecsSinceEpoch(), j.parameterKey,
                j.element, j.oldRaw, j.newRaw, j.success ? 1 : 0});
}

ArchiveResult<ArchiveDone> ArchiveStore::linkSnapshotToEcu(qint64 id, const QString& serial) {
    bool found = false;
    const ArchiveError e = transaction([&] {
        if (!ensureEcu(serial, QDateTime::currentMSecsSinceEpoch())) return false;
        QSqlQuery* q =
            run("UPDATE snapshots SET ecu_serial = ? WHERE id = ? AND ecu_serial IS NULL",
                {serial, id});
        if (!q) return false;
        found = q->numRowsAffected() > 0;
        q->finish();
        return true;
    });
    if (e.isError()) return e;
    if (!found)
        return ArchiveResult<ArchiveDone>::failure(
            ArchiveError::Kind::NotFound, QStringLiteral("no snapshot %1 without an ECU").arg(id));
    return ArchiveDone{};
}

// ---- reads

std::optional<QByteArray> ArchiveStore::textOf(qint64 id, int depth) {
    QSqlQuery* q =
        run("SELECT codec, dictionary_id, text_size, hash, body FROM snapshots WHERE id = ?", {id});
    if (!q) return std::nullopt;
    if (!q->next()) {
        error_ = {ArchiveError::Kind::NotFound, QStringLiteral("no snapshot %1").arg(id)};
        return std::nullopt;
    }
    const int codec = q->value(0).toInt();
    const qint64 dictionaryId = q->value(1).toLongLong();
    const qint64 size = q->value(2).toLongLong();
    const QByteArray hash = q->value(3).toByteArray();
    const QByteArray body = q->value(4).toByteArray();
    q->finish();
    QByteArray dictionary;
    if (codec == kCodecDictionary) {
        // The dictionary is always a plain snapshot, so this goes one level deep.
        const std::optional<QByteArray> d =
            depth > 0 ? textOf(dictionaryId, depth - 1) : std::nullopt;
        if (!d) {
            error_ = {ArchiveError::Kind::Damaged,
                      QStringLiteral("snapshot %1 lost its dictionary").arg(id)};
            return std::nullopt;
        }
        dictionary = *d;
    } else if (codec != kCodecPlain) {
        error_ = {ArchiveError::Kind::TooNew,
                  QStringLiteral("snapshot %1 is kept in a newer form").arg(id)};
        return std::nullopt;
    }
    std::optional<QByteArray> text = ArchiveCodec::decompress(body, size, dictionary);
    if (!text || ArchiveCodec::hash(*text) != hash) {
        error_ = {ArchiveError::Kind::Damaged, QStringLiteral("snapshot %1 is damaged").arg(id)};
        return std::nullopt;
    }
    return text;
}

ArchiveResult<QByteArray> ArchiveStore::snapshotText(qint64 id) {
    std::optional<QByteArray> text = textOf(id, 1);
    if (!text) return fail<QByteArray>();
    return *text;
}

ArchiveResult<ArchiveSnapshot> ArchiveStore::snapshot(qint64 id) {
    QSqlQuery* q = run("SELECT " SNAPSHOT_COLUMNS("s") " FROM snapshots s WHERE s.id = ?", {id});
    if (!q) return fail<ArchiveSnapshot>();
    if (!q->next()) {
        q->finish();
        return ArchiveResult<ArchiveSnapshot>::failure(ArchiveError::Kind::NotFound,
                                                       QStringLiteral("no snapshot %1").arg(id));
    }
    ArchiveSnapshot s = snapshotFrom(*q, 0);
    q->finish();
    return s;
}

ArchiveResult<ArchiveEcu> ArchiveStore::ecu(const QString& serial) {
    QSqlQuery* q = run("SELECT " ECU_COLUMNS("e") " FROM ecus e WHERE e.serial = ?", {serial});
    if (!q) return fail<ArchiveEcu>();
    if (!q->next()) {
        q->finish();
        return ArchiveResult<ArchiveEcu>::failure(ArchiveError::Kind::NotFound,
                                                  QStringLiteral("no ECU %1").arg(serial));
    }
    ArchiveEcu e = ecuFrom(*q, 0);
    q->finish();
    return e;
}

ArchiveResult<QList<ArchiveSession>> ArchiveStore::sessionsOf(const QString& serial) {
    QSqlQuery* q =
        run("SELECT uid, ecu_serial, begin_time, end_time, computer, user_name FROM sessions"
            " WHERE ecu_serial = ? ORDER BY begin_time, uid",
            {serial});
    if (!q) return fail<QList<ArchiveSession>>();
    QList<ArchiveSession> list;
    while (q->next())
        list.append({q->value(0).toString(), q->value(1).toString(), timeOf(q->value(2)),
                     timeOf(q->value(3)), q->value(4).toString(), q->value(5).toString()});
    q->finish();
    return list;
}

ArchiveResult<QList<ArchiveJournalEntry>> ArchiveStore::journalOf(const QString& serial) {
    QSqlQuery* q =
        run("SELECT id, ecu_serial, session_uid, time, parameter_key, element, old_raw, new_raw,"
            " success FROM journal WHERE ecu_serial = ? ORDER BY time, id",
            {serial});
    if (!q) return fail<QList<ArchiveJournalEntry>>();
    QList<ArchiveJournalEntry> list;
    while (q->next()) {
        ArchiveJournalEntry j;
        j.id = q->value(0).toLongLong();
        j.entry = {q->value(1).toString(),   q->value(2).toString(),  timeOf(q->value(3)),
                   q->value(4).toInt(),      q->value(5).toInt(),     q->value(6).toLongLong(),
                   q->value(7).toLongLong(), q->value(8).toInt() != 0};
        list << j;
    }
    q->finish();
    return list;
}

ArchiveResult<QList<ArchiveHistoryEntry>> ArchiveStore::history(const QString& serial) {
    QList<ArchiveHistoryEntry> list;
    QSqlQuery* q = run(
        "SELECT " SNAPSHOT_COLUMNS("s") " FROM snapshots s WHERE s.ecu_serial = ? ORDER BY s.id",
        {serial});
    if (!q) return fail<QList<ArchiveHistoryEntry>>();
    QHash<qint64, qsizetype> byId;
    while (q->next()) {
        ArchiveHistoryEntry h;
        h.snapshot = snapshotFrom(*q, 0);
        h.time = h.snapshot.time;
        h.reason = h.snapshot.reason;
        h.description = h.snapshot.description;
        byId.insert(h.snapshot.id, list.size());
        list << h;
    }
    q->finish();
    q =
        run("SELECT snapshot_id, time, reason, description FROM snapshot_notes WHERE ecu_serial = ?"
            " ORDER BY time, id",
            {serial});
    if (!q) return fail<QList<ArchiveHistoryEntry>>();
    while (q->next()) {
        ArchiveHistoryEntry h;
        const auto at = byId.constFind(q->value(0).toLongLong());
        if (at != byId.constEnd()) h.snapshot = list[*at].snapshot;
        h.snapshot.id = q->value(0).toLongLong();
        h.noted = true;
        h.time = timeOf(q->value(1));
        h.reason = q->value(2).toString();
        h.description = q->value(3).toString();
        list << h;
    }
    q->finish();
    std::stable_sort(
        list.begin(), list.end(),
        [](const ArchiveHistoryEntry& a, const ArchiveHistoryEntry& b) { return a.time < b.time; });
    return list;
}

// ---- vehicles

namespace {
QStringList vehicleTerms(const ArchiveVehicle& v) { return {v.plate, v.vin, v.customerName}; }
}  // namespace

ArchiveResult<qint64> ArchiveStore::addVehicle(const ArchiveVehicle& v) {
    qint64 id = 0;
    const ArchiveError e = transaction([&] {
        QSqlQuery* q = run(
            "INSERT INTO vehicles (plate, vin, make_model, customer_name, customer_phone, notes)"
            " VALUES (?, ?, ?, ?, ?, ?) RETURNING id",
            {v.plate, v.vin, v.makeModel, v.customerName, v.customerPhone, v.notes});
        if (!q) return false;
        id = q->next() ? q->value(0).toLongLong() : 0;
        q->finish();
        return id != 0 && addTerms(kTermVehicle, id, {}, vehicleTerms(v));
    });
    if (e.isError()) return e;
    return id;
}

ArchiveResult<ArchiveDone> ArchiveStore::updateVehicle(const ArchiveVehicle& v) {
    const ArchiveError e = transaction([&] {
        QSqlQuery* q =
            run("UPDATE vehicles SET plate = ?, vin = ?, make_model = ?, customer_name = ?,"
                " customer_phone = ?, notes = ? WHERE id = ?",
                {v.plate, v.vin, v.makeModel, v.customerName, v.customerPhone, v.notes, v.id});
        if (!q) return false;
        const bool found = q->numRowsAffected() > 0;
        q->finish();
        if (!found) {
            error_ = {ArchiveError::Kind::NotFound, QStringLiteral("no vehicle %1").arg(v.id)};
            return false;
        }
        return exec("DELETE FROM search_terms WHERE kind = 0 AND ref_id = ?", {v.id}) &&
               addTerms(kTermVehicle, v.id, {}, vehicleTerms(v));
    });
    if (e.isError()) return e;
    return ArchiveDone{};
}

ArchiveResult<ArchiveDone> ArchiveStore::removeVehicle(qint64 id) {
    const ArchiveError e = transaction([&] {
        if (!exec("DELETE FROM installations WHERE vehicle_id = ?", {id}) ||
            !exec("DELETE FROM search_terms WHERE kind = 0 AND ref_id = ?", {id}))
            return false;
        QSqlQuery* q = run("DELETE FROM vehicles WHERE id = ?", {id});
        if (!q) return false;
        const bool found = q->numRowsAffected() > 0;
        q->finish();
        if (!found)
            error_ = {ArchiveError::Kind::NotFound, QStringLiteral("no vehicle %1").arg(id)};
        return found;
    });
    if (e.isError()) return e;
    return ArchiveDone{};
}

ArchiveResult<ArchiveVehicle> ArchiveStore::vehicle(qint64 id) {
    QSqlQuery* q = run("SELECT " VEHICLE_COLUMNS("v") " FROM vehicles v WHERE v.id = ?", {id});
    if (!q) return fail<ArchiveVehicle>();
    if (!q->next()) {
        q->finish();
        return ArchiveResult<ArchiveVehicle>::failure(ArchiveError::Kind::NotFound,
                                                      QStringLiteral("no vehicle %1").arg(id));
    }
    ArchiveVehicle v = vehicleFrom(*q, 0);
    q->finish();
    return v;
}

ArchiveResult<QList<ArchiveVehicle>> ArchiveStore::vehicles() {
    QSqlQuery* q = run("SELECT " VEHICLE_COLUMNS("v") " FROM vehicles v ORDER BY v.plate, v.id");
    if (!q) return fail<QList<ArchiveVehicle>>();
    QList<ArchiveVehicle> list;
    while (q->next()) list << vehicleFrom(*q, 0);
    q->finish();
    return list;
}

ArchiveResult<ArchiveDone> ArchiveStore::installEcu(const QString& serial, qint64 vehicleId,
                                                    qint64 when) {
    const ArchiveError e = transaction([&] {
        QSqlQuery* q = run("SELECT count(*) FROM ecus WHERE serial = ?", {serial});
        if (!q) return false;
        const bool known = q->next() && q->value(0).toInt() > 0;
        q->finish();
        if (!known) {
            error_ = {ArchiveError::Kind::NotFound, QStringLiteral("no ECU %1").arg(serial)};
            return false;
        }
        q = run("SELECT vehicle_id FROM installations WHERE ecu_serial = ? AND until_time IS NULL",
                {serial});
        if (!q) return false;
        const qint64 current = q->next() ? q->value(0).toLongLong() : 0;
        q->finish();
        if (current == vehicleId) return true;  // already there
        if (vehicleId != 0) {
            q = run("SELECT count(*) FROM vehicles WHERE id = ?", {vehicleId});
            if (!q) return false;
            const bool exists = q->next() && q->value(0).toInt() > 0;
            q->finish();
            if (!exists) {
                error_ = {ArchiveError::Kind::NotFound,
                          QStringLiteral("no vehicle %1").arg(vehicleId)};
                return false;
            }
        }
        // A kit has one ECU: the vehicle's earlier one comes out with it.
        if (!exec("UPDATE installations SET until_time = ? WHERE until_time IS NULL AND"
                  " (ecu_serial = ? OR vehicle_id = ?)",
                  {when, serial, vehicleId}))
            return false;
        return vehicleId == 0 ||
               exec(
                   "INSERT INTO installations (ecu_serial, vehicle_id, from_time) VALUES (?, ?, ?)",
                   {serial, vehicleId, when});
    });
    if (e.isError()) return e;
    return ArchiveDone{};
}

ArchiveResult<QList<ArchiveInstallation>> ArchiveStore::installationsOf(const QString& serial) {
    QSqlQuery* q =
        run("SELECT ecu_serial, vehicle_id, from_time, until_time FROM installations"
            " WHERE ecu_serial = ? ORDER BY from_time, id",
            {serial});
    if (!q) return fail<QList<ArchiveInstallation>>();
    QList<ArchiveInstallation> list;
    while (q->next())
        list.append({q->value(0).toString(), q->value(1).toLongLong(), timeOf(q->value(2)),
                     timeOf(q->value(3))});
    q->finish();
    return list;
}

// ---- search and overview

namespace {
// The first word runs on the term index; each further word must be a word of the same record.
// Statements for one to four words, so each stays prepared. The term rows are limited before
// the DISTINCT: over the whole range PostgreSQL would gather every match of a short prefix
// ("lg" of 10,000 serial numbers) first. A record that several of its words bring counts once.
const char* const kSearchSql[] = {
#define SEARCH_HEAD                                                                                \
    "SELECT t.kind, t.ref_id, t.ref_serial, v.plate, v.customer_name, i.ecu_serial, e.model_code," \
    " e.firmware, s.description, s.file_name, s.ecu_serial, s.time FROM"                           \
    " (SELECT DISTINCT kind, ref_id, ref_serial FROM"                                              \
    " (SELECT kind, ref_id, ref_serial FROM search_terms m WHERE m.term >= ? AND m.term < ?"
#define SEARCH_MORE                                                                           \
    " AND EXISTS (SELECT 1 FROM search_terms x WHERE x.kind = m.kind AND x.ref_id = m.ref_id" \
    " AND x.ref_serial = m.ref_serial AND x.term >= ? AND x.term < ?)"
#define SEARCH_TAIL                                                                             \
    " LIMIT ?) u LIMIT ?) t"                                                                    \
    " LEFT JOIN vehicles v ON t.kind = 0 AND v.id = t.ref_id"                                   \
    " LEFT JOIN installations i ON t.kind = 0 AND i.vehicle_id = t.ref_id AND i.until_time IS " \
    "NULL"                                                                                      \
    " LEFT JOIN ecus e ON t.kind = 1 AND e.serial = t.ref_serial"                               \
    " LEFT JOIN snapshots s ON t.kind = 2 AND s.id = t.ref_id"                                  \
    " ORDER BY t.kind, t.ref_serial, t.ref_id DESC"
    SEARCH_HEAD SEARCH_TAIL,
    SEARCH_HEAD SEARCH_MORE SEARCH_TAIL,
    SEARCH_HEAD SEARCH_MORE SEARCH_MORE SEARCH_TAIL,
    SEARCH_HEAD SEARCH_MORE SEARCH_MORE SEARCH_MORE SEARCH_TAIL,
#undef SEARCH_HEAD
#undef SEARCH_MORE
#undef SEARCH_TAIL
};

ArchiveSearchHit hitFrom(const QSqlQuery& q) {
    ArchiveSearchHit hit;
    hit.kind = ArchiveSearchHit::Kind(q.value(0).toInt());
    switch (hit.kind) {
        case ArchiveSearchHit::Kind::Vehicle:
            hit.vehicleId = q.value(1).toLongLong();
            hit.ecuSerial = q.value(5).toString();
            hit.text =
                (q.value(3).toString() + QLatin1String("  ") + q.value(4).toString()).trimmed();
            break;
        case ArchiveSearchHit::Kind::Ecu:
            hit.ecuSerial = q.value(2).toString();
            hit.text = (hit.ecuSerial + QLatin1String("  ") + q.value(7).toString()).trimmed();
            break;
        case ArchiveSearchHit::Kind::Snapshot:
            hit.snapshotId = q.value(1).toLongLong();
            hit.ecuSerial = q.value(10).toString();
            hit.text = q.value(8).toString();
            if (hit.text.isEmpty()) hit.text = q.value(9).toString();
            break;
    }
    return hit;
}
}  // namespace

ArchiveResult<QList<ArchiveSearchHit>> ArchiveStore::search(const QStringList& words, int limit) {
    QList<ArchiveSearchHit> hits;
    if (words.isEmpty()) return hits;
    const QStringList used = words.mid(0, std::size(kSearchSql));
    QVariantList values;
    for (const QString& word : used) values << word << ArchiveSearchWords::upperBound(word);
    values << limit * kSearchRowsPerHit << limit;
    QSqlQuery* q = run(kSearchSql[used.size() - 1], values);
    if (!q) return fail<QList<ArchiveSearchHit>>();
    while (q->next()) hits << hitFrom(*q);
    q->finish();
    return hits;
}

ArchiveResult<QList<ArchiveListEntry>> ArchiveStore::list() {
    QList<ArchiveListEntry> list;
    QSqlQuery* q = run("SELECT " ECU_COLUMNS("e") ", " VEHICLE_COLUMNS("v") ", " SNAPSHOT_COLUMNS(
        "s") " FROM ecus e"
             " LEFT JOIN installations i ON i.ecu_serial = e.serial AND i.until_time IS NULL"
             " LEFT JOIN vehicles v ON v.id = i.vehicle_id"
             " LEFT JOIN snapshots s ON s.id ="
             " (SELECT max(id) FROM snapshots l WHERE l.ecu_serial = e.serial)"
             " ORDER BY e.last_seen DESC, e.serial");
    if (!q) return fail<QList<ArchiveListEntry>>();
    while (q->next()) {
        ArchiveListEntry entry;
        entry.ecu = ecuFrom(*q, 0);
        if (!q->value(6).isNull()) entry.vehicle = vehicleFrom(*q, 6);
        if (!q->value(13).isNull()) entry.latest = snapshotFrom(*q, 13);
        list << entry;
    }
    q->finish();
    q = run("SELECT " VEHICLE_COLUMNS(
        "v") " FROM vehicles v WHERE NOT EXISTS"
             " (SELECT 1 FROM installations i WHERE i.vehicle_id = v.id AND i.until_time IS NULL)"
             " ORDER BY v.plate, v.id");
    if (!q) return fail<QList<ArchiveListEntry>>();
    while (q->next()) {
        ArchiveListEntry entry;
        entry.vehicle = vehicleFrom(*q, 0);
        list << entry;
    }
    q->finish();
    return list;
}
