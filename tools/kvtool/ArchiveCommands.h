#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class WorkshopArchive;

// kvtool archive: the workshop archive for scripts. Plain text, one record a line, fields
// separated by tabs, the snapshot's id first (0 where a line names no snapshot).
//   list                 ECUs and vehicles with their latest snapshot
//   search TEXT          what the archive window finds for TEXT
//   history SERIAL       an ECU's snapshots and the meetings noted against them
//   journal SERIAL       the values written through to an ECU (the journal row's id first)
//   export ID FILE       a snapshot as a scrambled configuration file
//   import FILE|FOLDER...  configuration files (.kv4, .kv8; a folder's own) as snapshots
class ArchiveCommands {
  public:
    // key: the scrambling key of the files exported and imported.
    ArchiveCommands(QByteArray& out, QString& err, const QString& key)
        : out_(out), err_(err), key_(key) {}

    // words after "archive"; db: a SQLite path or a postgresql:// URL, empty for the
    // settings' value. The codes are KvTool's.
    int Run(const QStringList& words, const QString& db);

    static QString Usage();

  private:
    int List(WorkshopArchive& archive);
    int Search(WorkshopArchive& archive, const QString& text);
    int History(WorkshopArchive& archive, const QString& serial);
    int Journal(WorkshopArchive& archive, const QString& serial);
    int Export(WorkshopArchive& archive, qint64 snapshotId, const QString& file);
    int Import(WorkshopArchive& archive, const QStringList& paths);
    // One file of an import; false with a message when it is no configuration file.
    bool ImportFile(WorkshopArchive& archive, const QString& path);
    int Fail(const QString& message, int code);
    void Line(const QStringList& fields);

    QByteArray& out_;
    QString& err_;
    QString key_;
};
