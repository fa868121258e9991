#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

#include "ArchiveError.h"
#include "ArchiveRecords.h"
#include "StoreListener.h"

class TStreamDati;
class WorkshopArchive;

// The program's memory of the ECUs it meets: hears the data module's moments and writes and
// keeps them in the workshop archive. A connect that read the configuration starts a session
// and takes a "connect" snapshot; the roads that hand a configuration over take theirs; every
// value written through goes into the journal. The archive only reads the store. A failure to
// open or write it is told once in the program's run and the work goes on without it.
class ArchiveRecorder : public StoreListener {
  public:
    // The snapshot reasons, as kept.
    static const char* ReasonOf(StoreMoment moment);

    explicit ArchiveRecorder(TStreamDati& data);
    ~ArchiveRecorder() override;
    ArchiveRecorder(const ArchiveRecorder&) = delete;
    ArchiveRecorder& operator=(const ArchiveRecorder&) = delete;

    // location: the settings value "Archivio" (empty: the SQLite file in baseDirectory). False
    // when the archive cannot be used; the technician has been told.
    bool Open(const QString& location, const QString& baseDirectory);
    bool IsOpen() const;
    WorkshopArchive& Archive() { return *archive_; }
    // The session of the connection in progress; empty when none.
    QString SessionId() const { return sessionId_; }
    // The time of the records; the system's clock by default.
    void SetNow(std::function<QDateTime()> now) { now_ = std::move(now); }

    void ValueWritten(const ValueWrite& write) override;
    void MomentReached(StoreMoment moment) override;

    // The message that tells a failure, with the location and the database's reason.
    static QString FailureText(const ArchiveError& error, const QString& location);

  private:
    void beginSession();
    void endSession();
    void takeSnapshot(const QString& reason);
    // Shows the first failure of the run; false when result was a failure.
    template <typename Result>
    bool check(const Result& result);
    QString serial() const;
    ArchiveEcuIdentity identity() const;

    TStreamDati& data_;
    std::unique_ptr<WorkshopArchive> archive_;
    std::function<QDateTime()> now_;
    QString location_;
    QString sessionId_;
    QString sessionSerial_;
    bool told_ = false;
};
