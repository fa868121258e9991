#include "ArchiveQueue.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {
constexpr int kBusyMs = 15000;
}

ArchiveQueue::ArchiveQueue()
    : connectionName_(QStringLiteral("archive-queue-") +
                      QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

ArchiveQueue::~ArchiveQueue() { close(); }

void ArchiveQueue::close() {
    if (!db_.isValid()) return;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

ArchiveError::Kind ArchiveQueue::kindOf(const QString& errorText) const {
    if (!QFileInfo(QFileInfo(db_.databaseName()).absolutePath()).isWritable())
        return ArchiveError::Kind::ReadOnly;
    if (errorText.contains(QLatin1String("full"))) return ArchiveError::Kind::DiskFull;
    return ArchiveError::Kind::Database;
}

ArchiveError ArchiveQueue::failure(const QString& what) const {
    return {kindOf(db_.lastError().text()),
            QStringLiteral("the local queue %1 failed (%2): %3")
                .arg(db_.databaseName(), what, db_.lastError().text())};
}

ArchiveError ArchiveQueue::open(const QString& filePath) {
    close();
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    db_.setDatabaseName(filePath);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyMs));
    if (!db_.open()) {
        ArchiveError e = failure(QStringLiteral("open"));
        close();
        return e;
    }
    for (const char* sql :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL",
          "CREATE TABLE IF NOT EXISTS queue (seq INTEGER PRIMARY KEY AUTOINCREMENT,"
          " write BLOB NOT NULL)"}) {
        QSqlQuery q(db_);
        if (!q.exec(QString::fromLatin1(sql))) {
            ArchiveError e{kindOf(q.lastError().text()),
                           QStringLiteral("the local queue %1 cannot be used: %2")
                               .arg(filePath, q.lastError().text())};
            close();
            return e;
        }
    }
    return {};
}

ArchiveError ArchiveQueue::push(const QList<ArchiveWrite>& writes) {
    if (!db_.isOpen())
        return {ArchiveError::Kind::ServerUnreachable, QStringLiteral("no local queue")};
    if (!db_.transaction()) return failure(QStringLiteral("begin"));
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT INTO queue (write) VALUES (?)"));
    for (const ArchiveWrite& w : writes) {
        q.bindValue(0, w.toBytes());
        if (!q.exec()) {
            ArchiveError e{kindOf(q.lastError().text()),
                           QStringLiteral("the local queue cannot keep a write: %1")
                               .arg(q.lastError().text())};
            db_.rollback();
            return e;
        }
    }
    if (!db_.commit()) {
        ArchiveError e = failure(QStringLiteral("commit"));
        db_.rollback();
        return e;
    }
    return {};
}

ArchiveResult<QList<ArchiveQueue::Item>> ArchiveQueue::peek(int count) {
    QList<Item> items;
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT seq, write FROM queue ORDER BY seq LIMIT ?"));
    q.bindValue(0, count);
    if (!q.exec()) return failure(QStringLiteral("read"));
    while (q.next()) {
        std::optional<ArchiveWrite> w = ArchiveWrite::fromBytes(q.value(1).toByteArray());
        if (!w)
            return ArchiveError{ArchiveError::Kind::Damaged,
                                QStringLiteral("write %1 of the local queue %2 is damaged")
                                    .arg(q.value(0).toLongLong())
                                    .arg(db_.databaseName())};
        items.append({q.value(0).toLongLong(), *w});
    }
    return items;
}

ArchiveError ArchiveQueue::drop(qint64 seq) {
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("DELETE FROM queue WHERE seq <= ?"));
    q.bindValue(0, seq);
    if (!q.exec()) return failure(QStringLiteral("drop"));
    return {};
}

int ArchiveQueue::count() {
    if (!db_.isOpen()) return 0;
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM queue")) || !q.next()) return 0;
    return q.value(0).toInt();
}
