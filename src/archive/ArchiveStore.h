#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>
#include <functional>

#include "ArchiveLocation.h"
#include "ArchiveRecords.h"
#include "ArchiveResult.h"
#include "ArchiveWrite.h"

// One connection to an archive database and every statement the archive runs on it, all
// prepared with bound values. Each public write is one transaction.
class ArchiveStore {
  public:
    ArchiveStore();
    ~ArchiveStore();
    ArchiveStore(const ArchiveStore&) = delete;
    ArchiveStore& operator=(const ArchiveStore&) = delete;

    // Connects and brings the schema up to date. TooNew with readOnly() true: readable.
    ArchiveError open(const ArchiveLocation& at);
    void close();
    bool isOpen() const { return db_.isOpen(); }
    bool readOnly() const { return readOnly_; }
    int schemaVersion() const { return schemaVersion_; }
    bool isPostgres() const { return at_.engine == ArchiveLocation::Engine::Postgres; }

    ArchiveResult<ArchiveStoreOutcome> apply(const ArchiveWrite& write);
    ArchiveResult<QList<ArchiveStoreOutcome>> applyAll(const QList<ArchiveWrite>& writes);

    ArchiveResult<ArchiveEcu> ecu(const QString& serial);
    ArchiveResult<QList<ArchiveSession>> sessionsOf(const QString& serial);
    ArchiveResult<ArchiveSnapshot> snapshot(qint64 id);
    ArchiveResult<QByteArray> snapshotText(qint64 id);
    ArchiveResult<ArchiveDone> linkSnapshotToEcu(qint64 id, const QString& serial);
    ArchiveResult<QList<ArchiveJournalEntry>> journalOf(const QString& serial);
    ArchiveResult<QList<ArchiveHistoryEntry>> history(const QString& serial);

    ArchiveResult<qint64> addVehicle(const ArchiveVehicle& vehicle);
    ArchiveResult<ArchiveDone> updateVehicle(const ArchiveVehicle& vehicle);
    ArchiveResult<ArchiveDone> removeVehicle(qint64 id);
    ArchiveResult<ArchiveVehicle> vehicle(qint64 id);
    ArchiveResult<QList<ArchiveVehicle>> vehicles();
    ArchiveResult<ArchiveDone> installEcu(const QString& serial, qint64 vehicleId, qint64 when);
    ArchiveResult<QList<ArchiveInstallation>> installationsOf(const QString& serial);

    ArchiveResult<QList<ArchiveSearchHit>> search(const QStringList& words, int limit);
    ArchiveResult<QList<ArchiveListEntry>> list();

  private:
    ArchiveError connect();
    ArchiveError migrate();
    bool readSchema(int& version, int& oldestReader, bool& exists);
    bool applyStep(const struct ArchiveSchemaStep& step);

    // Runs `body` in one transaction (writers queue behind each other on SQLite).
    ArchiveError transaction(const std::function<bool()>& body);
    QSqlQuery* run(const char* sql, const QVariantList& values = {});
    bool exec(const char* sql, const QVariantList& values = {});
    ArchiveError failure(const QSqlError& error);
    ArchiveError takeError();
    template <typename T>
    ArchiveResult<T> fail() {
        return ArchiveResult<T>(takeError());
    }

    bool writeEcuSeen(const ArchiveEcuIdentity& ecu, qint64 when);
    bool ensureEcu(const QString& serial, qint64 when);
    bool writeSession(const ArchiveSession& session);
    bool writeSessionEnd(const QString& uid, qint64 when);
    bool writeSnapshot(const QString& uid, const ArchiveSnapshotInput& s, ArchiveStoreOutcome& out);
    bool writeJournal(const QString& uid, const ArchiveJournalInput& j);
    bool writeOne(const ArchiveWrite& write, ArchiveStoreOutcome& out);
    bool addTerms(int kind, qint64 refId, const QString& refSerial, const QStringList& texts);
    bool dictionaryFor(const QString& serial, qint64& id, QByteArray& text);
    std::optional<QByteArray> textOf(qint64 id, int depth);

    ArchiveLocation at_;
    QString connectionName_;
    QSqlDatabase db_;
    QHash<const char*, QSqlQuery*> prepared_;
    ArchiveError error_;
    bool readOnly_ = false;
    int schemaVersion_ = 0;
};
