#include "ArchiveRecorder.h"

#include <QSysInfo>

#include "ArchiveLocation.h"
#include "BuildProfile.h"
#include "Dialogs.h"
#include "Language.h"
#include "TStreamDati.h"
#include "WorkshopArchive.h"

namespace {
QString text(int number, const char* fallback) {
    return LoadTextOr(number, QString::fromUtf8(fallback));
}

QString userName() {
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}
}  // namespace

const char* ArchiveRecorder::ReasonOf(StoreMoment moment) {
    switch (moment) {
        case StoreMoment::Connected:
            return "connect";
        case StoreMoment::BeforeLoad:
            return "before load";
        case StoreMoment::BeforeProgramming:
            return "before programming";
        case StoreMoment::AfterProgramming:
            return "after programming";
        case StoreMoment::AfterCalibration:
            return "after calibration";
        case StoreMoment::BeforeReset:
            return "before reset";
        case StoreMoment::Initialised:
        case StoreMoment::Disconnecting:
            return nullptr;
    }
    return nullptr;
}

ArchiveRecorder::ArchiveRecorder(TStreamDati& data)
    : data_(data),
      archive_(std::make_unique<WorkshopArchive>()),
      now_([] { return QDateTime::currentDateTimeUtc(); }) {
    data_.SetListener(this);
}

ArchiveRecorder::~ArchiveRecorder() {
    data_.SetListener(nullptr);
    endSession();
}

bool ArchiveRecorder::Open(const QString& location, const QString& baseDirectory) {
    archive_->close();
    const auto opened = archive_->open(location, baseDirectory);
    location_ = archive_->location().isEmpty()
                    ? ArchiveLocation::parse(location, baseDirectory).displayText()
                    : archive_->location();
    // A server away still takes everything, into the local queue.
    if (!check(opened) && archive_->state() != WorkshopArchive::State::Queueing) {
        archive_->close();
        return false;
    }
    return true;
}

bool ArchiveRecorder::IsOpen() const {
    const WorkshopArchive::State state = archive_->state();
    return state == WorkshopArchive::State::Open || state == WorkshopArchive::State::Queueing;
}

QString ArchiveRecorder::FailureText(const ArchiveError& error, const QString& location) {
    const QString first =
        error.kind == ArchiveError::Kind::ServerUnreachable
            ? text(671,
                   "Il server dell'archivio non è raggiungibile: i dati attendono in questo "
                   "computer e saranno inviati appena possibile.")
            : text(670,
                   "Impossibile usare l'archivio di officina: il lavoro prosegue senza "
                   "archiviare i dati della centralina.");
    QString message = first + u'\n' + location;
    if (!error.detail.isEmpty()) message += u'\n' + error.detail;
    return message;
}

template <typename Result>
bool ArchiveRecorder::check(const Result& result) {
    if (result.ok()) return true;
    if (!told_) {
        told_ = true;
        Dialogs::current().warning(BuildProfile::ProductTitle(),
                                   FailureText(result.error(), location_));
    }
    return false;
}

QString ArchiveRecorder::serial() const { return data_.GetSerialNumber(); }

ArchiveEcuIdentity ArchiveRecorder::identity() const {
    return {serial(), data_.Identity(1), data_.Identity(0),
            QStringLiteral("%1.%2").arg(data_.Identity(3)).arg(data_.Identity(2))};
}

void ArchiveRecorder::beginSession() {
    endSession();
    const QDateTime now = now_();
    const ArchiveEcuIdentity ecu = identity();
    if (!check(archive_->ecuSeen(ecu, now))) return;
    const auto session =
        archive_->beginSession(ecu.serial, now, QSysInfo::machineHostName(), userName());
    if (!check(session)) return;
    sessionId_ = session.value();
    sessionSerial_ = ecu.serial;
}

void ArchiveRecorder::endSession() {
    if (sessionId_.isEmpty()) return;
    const QString id = sessionId_;
    sessionId_.clear();
    sessionSerial_.clear();
    if (IsOpen()) check(archive_->endSession(id, now_()));
}

void ArchiveRecorder::takeSnapshot(const QString& reason) {
    const QString ecu = serial();
    if (ecu.isEmpty()) return;
    const QDateTime now = now_();
    // Programming may meet an ECU without the connect command: it is met all the same.
    if (ecu != sessionSerial_ && !check(archive_->ecuSeen(identity(), now))) return;
    ArchiveSnapshotInput snapshot;
    snapshot.ecuSerial = ecu;
    snapshot.sessionId = ecu == sessionSerial_ ? sessionId_ : QString();
    snapshot.time = now;
    snapshot.reason = reason;
    const QString described = data_.Store().vehicle().description;
    snapshot.description = described.isEmpty() ? data_.GetDescription() : described;
    snapshot.iniText = data_.ConfigurationText();
    if (snapshot.iniText.isEmpty()) return;
    check(archive_->storeSnapshot(snapshot));
}

void ArchiveRecorder::ValueWritten(const ValueWrite& write) {
    if (!IsOpen() || sessionId_.isEmpty()) return;
    ArchiveJournalInput entry;
    entry.ecuSerial = sessionSerial_;
    entry.sessionId = sessionId_;
    entry.time = now_();
    entry.parameterKey = static_cast<int>(write.variable);
    entry.element = write.element;
    entry.oldRaw = write.oldRaw;
    entry.newRaw = write.newRaw;
    entry.success = write.ok;
    check(archive_->journal(entry));
}

void ArchiveRecorder::MomentReached(StoreMoment moment) {
    if (!IsOpen()) return;
    switch (moment) {
        case StoreMoment::Connected:
            beginSession();
            takeSnapshot(QString::fromLatin1(ReasonOf(moment)));
            return;
        case StoreMoment::Initialised:
            beginSession();
            return;
        case StoreMoment::Disconnecting:
            endSession();
            return;
        default:
            takeSnapshot(QString::fromLatin1(ReasonOf(moment)));
    }
}
