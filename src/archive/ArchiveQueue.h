#pragma once

#include <QList>
#include <QSqlDatabase>

#include "ArchiveResult.h"
#include "ArchiveWrite.h"

// The local queue: writes that wait, in order, for a shared server that cannot be reached.
// A SQLite file in the base directory, so they outlive the program.
class ArchiveQueue {
  public:
    struct Item {
        qint64 seq = 0;
        ArchiveWrite write;
    };

    ArchiveQueue();
    ~ArchiveQueue();
    ArchiveQueue(const ArchiveQueue&) = delete;
    ArchiveQueue& operator=(const ArchiveQueue&) = delete;

    ArchiveError open(const QString& filePath);
    void close();
    bool isOpen() const { return db_.isOpen(); }

    // All or none of them join the queue.
    ArchiveError push(const QList<ArchiveWrite>& writes);
    // The oldest `count` waiting writes. A row that cannot be read is an error, never skipped.
    ArchiveResult<QList<Item>> peek(int count);
    // Drops the writes up to and including `seq`, once the server has them.
    ArchiveError drop(qint64 seq);
    int count();

  private:
    // Why the queue failed: its folder read-only, the disk full, or the database's reason.
    ArchiveError::Kind kindOf(const QString& errorText) const;
    ArchiveError failure(const QString& what) const;

    QString connectionName_;
    QSqlDatabase db_;
};
