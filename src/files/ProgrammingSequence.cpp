#include "ProgrammingSequence.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "BuildProfile.h"
#include "BusyCursor.h"
#include "Clock.h"
#include "Dialogs.h"
#include "IEcuLink.h"
#include "Language.h"
#include "ProgrammingFile.h"
#include "TStreamDati.h"
#include "WaitView.h"

namespace {
constexpr int kAfterFlashMs = 1000;
constexpr int kBeforeReconnectMs = 3000;
constexpr int kBeforeWriteBackMs = 200;

// The results the link library names; any other non-zero result is P12.
struct ResultRow {
    int result;
    const char* code;
};
constexpr ResultRow kResults[] = {
    {1, "P05"}, {2, "P06"}, {-1, "P07"}, {-2, "P08"}, {-3, "P09"}, {-4, "P10"}, {-5, "P11"},
};

QString text(int number, const char* fallback) {
    return LoadTextOr(number, QString::fromUtf8(fallback));
}

QString failedText() { return text(65, "Impossibile effettuare la programmazione."); }

// Programming mode of the link for the lifetime of a scope: every way out ends it.
class ProgrammingMode {
  public:
    explicit ProgrammingMode(IEcuLink& link) : link_(link) { link_.BeginProgramming(); }
    ~ProgrammingMode() { link_.EndProgramming(); }
    ProgrammingMode(const ProgrammingMode&) = delete;
    ProgrammingMode& operator=(const ProgrammingMode&) = delete;

  private:
    IEcuLink& link_;
};
}  // namespace

ProgrammingSequence::ProgrammingSequence(TStreamDati& data, const QString& baseDirectory)
    : data_(data), baseDirectory_(baseDirectory) {}

// The boot loader's operations are the link component's own; the data module has no part in
// them.
IEcuLink& ProgrammingSequence::programmer() { return data_.QorConnectEcu().link(); }

QString ProgrammingSequence::title() const {
    return title_ ? title_() : BuildProfile::ProductTitle();
}

QString ProgrammingSequence::ErrorCode(const QString& code) {
    return QStringLiteral("\n(ERR.CODE: ") + code + u')';
}

QString ProgrammingSequence::ResultCode(int result) {
    for (const ResultRow& row : kResults)
        if (row.result == result) return QString::fromLatin1(row.code);
    if (result < -999) return u'P' + QString::number(-static_cast<qint64>(result));
    return QStringLiteral("P12");
}

QString ProgrammingSequence::BackupName(const QString& folder, const QString& serialNumber,
                                        const QString& extension, const QString& stamp) {
    // The serial number comes from the ECU: only characters that are safe in a file name.
    QString serial;
    for (QChar c : serialNumber.trimmed())
        serial += (c.isLetterOrNumber() && c.unicode() < 0x80) || c == u'-' ? c : u'_';
    if (serial.isEmpty()) serial = QStringLiteral("ECU");
    const QString base = QDir(folder).filePath(serial + u'_' + stamp);
    QString name = base + u'.' + extension;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + u'-' + QString::number(n) + u'.' + extension;
    return name;
}

ProgrammingSequence::Outcome ProgrammingSequence::fail(Outcome outcome, const QString& message) {
    wait_.reset();
    Dialogs::current().error(title(), message);
    return outcome;
}

void ProgrammingSequence::keepSerialNumber() {
    if (!data_.Connect()) return;
    bool read = false;
    const QString serial = data_.ReadEcuSerialNumber(&read);
    data_.Disconnect();
    // The ECU's identity is never the program's to change: what it holds goes into the store
    // as it is, for the write-back to put back, and nothing is written now.
    if (read) data_.KeepSerialNumber(serial);
}

void ProgrammingSequence::openWait() {
    wait_ = waitFactory_ ? waitFactory_() : nullptr;
    if (!wait_) return;
    caption_ = text(67, "Aggiornamento software centralina");
    wait_->SetCaption(caption_);
    wait_->SetMessage(text(66, "Programmazione in corso. Attendere..."));
    wait_->SetCompletionSuffix(text(59, "Completato"));
    wait_->StartAnimation();
    wait_->Open();
}

std::optional<ProgrammingSequence::Outcome> ProgrammingSequence::readImage(const QString& fileName,
                                                                           bool imageFile) {
    ProgrammingFile::Status status;
    if (imageFile) {
        status = ProgrammingFile::CheckImageFile(fileName);
    } else {
        ProgrammingFile::Loaded loaded = ProgrammingFile::Load(fileName, data_.Key());
        status = loaded.status;
        image_ = std::move(loaded.image);
    }
    switch (status) {
        case ProgrammingFile::Status::Ok:
            return std::nullopt;
        case ProgrammingFile::Status::CannotOpen:
            return fail(Outcome::CannotOpen, failedText() + ErrorCode(QStringLiteral("P03")));
        case ProgrammingFile::Status::Damaged:
            break;
    }
    return fail(Outcome::Damaged, failedText() + ErrorCode(QStringLiteral("P04")));
}

bool ProgrammingSequence::saveBackup() {
    const QString folder = QDir(baseDirectory_).filePath(QStringLiteral("Backup"));
    backup_ = BackupName(folder, data_.GetSerialNumber(),
                         BuildProfile::ConfigExtension(data_.Identity(1)),
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (!QDir().mkpath(folder)) return false;
    // A copy on the side: the store keeps its own file name, key and unsaved state.
    const bool modified = data_.IsModified();
    const QString fileName = data_.FileName();
    const QString key = data_.Key();
    data_.SetKey(BuildProfile::ScrambleKey());
    const bool saved = data_.Transfer(TStreamDati::kSaveFile, backup_, 0, 0xFF, false);
    data_.SetKey(key);
    data_.SetFileName(fileName);
    data_.SetModified(modified);
    return saved;
}

bool ProgrammingSequence::askRetry(int result) {
    const QString question =
        result == 1 ? text(76, "ATTENZIONE: tensione di batteria insufficiente: Riprovare?")
                    : text(68, "Il tentativo di programmazione precedente è fallito.") + u'\n' +
                          text(69, "Togliere i 12V batteria e riprovare entro 10 secondi.") +
                          u'\n' + text(70, "Riprovare ?");
    return Dialogs::current().message(caption_, question + ErrorCode(ResultCode(result)),
                                      Dialogs::Icon::Error,
                                      Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes;
}

int ProgrammingSequence::flash(const QString& fileName, bool imageFile) {
    IEcuLink& link = programmer();
    const QByteArray name = QFile::encodeName(fileName);
    int result = 0;
    attempts_ = 0;
    do {
        if (attempts_ > 0) {
            if (!askRetry(result)) break;
            ++attempts_;
            caption_ = text(67, "Aggiornamento software centralina") + QStringLiteral(" - ") +
                       text(71, "Tentativo") + u' ' + QString::number(attempts_);
            if (wait_) wait_->SetCaption(caption_);
        } else {
            attempts_ = 1;
        }
        if (wait_) wait_->Open();
        result = imageFile ? link.ProgramFromFile(name.constData(), 2, 0, 1)
                           : link.ProgramFromBuffer(
                                 reinterpret_cast<const uint8_t*>(image_.constData()), 2, 0, 1);
    } while (result != 0 && attempts_ < kMaxAttempts);
    return result;
}

ProgrammingSequence::Outcome ProgrammingSequence::writeBack() {
    if (wait_) {
        wait_->SetProgressVisible(false);
        wait_->SetMessage(text(401, "Scrittura dati di configurazione in corso..."));
        wait_->ResetProgress();
        wait_->Open();
    }
    Clock::current().waitMs(kBeforeReconnectMs);
    data_.Reconnect(TStreamDati::kReconnectMs);
    while (!data_.Connect()) {
        const QString question =
            text(402,
                 "Impossibile scaricare i dati di configurazione \nprecedentemente "
                 "memorizzati. Riprovare ?") +
            ErrorCode(QStringLiteral("C01"));
        if (Dialogs::current().message(title(), question, Dialogs::Icon::Error,
                                       Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
            data_.Disconnect();
            wait_.reset();
            return Outcome::NoAnswer;
        }
    }
    if (!data_.ReadIdentity()) {
        data_.Disconnect();
        return fail(Outcome::NotIdentified,
                    text(39, "Errore nell'identificazione della centralina connessa.") +
                        ErrorCode(QStringLiteral("C02")));
    }
    if (wait_) {
        wait_->SetProgressVisible(true);
        wait_->Open();
    }
    Clock::current().waitMs(kBeforeWriteBackMs);
    // The new firmware asks to be initialised; the configuration written back is that
    // initialisation, so the request is cleared with it (else the next connect would write a
    // base configuration over the car's).
    data_.ClearResetRequest(data_.ReadStatus());
    if (!data_.Transfer(TStreamDati::kWriteEcu, QString(), 0, 0xFF, true)) {
        return fail(Outcome::WriteBackFailed,
                    text(652,
                         "Impossibile scrivere i dati di configurazione nella centralina "
                         "programmata. I dati sono salvati nel file:") +
                        u'\n' + QDir::toNativeSeparators(backup_));
    }
    data_.Announce(StoreMoment::AfterProgramming);
    wait_.reset();
    return Outcome::Programmed;
}

ProgrammingSequence::Outcome ProgrammingSequence::Run(const QString& fileName, bool imageFile) {
    backup_.clear();
    image_.clear();
    result_ = 0;
    attempts_ = 0;
    IEcuLink& link = programmer();
    uint8_t boot[4] = {};
    if (!link.ReadBootCustomer(boot))
        return fail(Outcome::BootUnreadable, failedText() + ErrorCode(QStringLiteral("P01")));
    if ((BuildProfile::CustomerMaskOf(boot[0]) & BuildProfile::CustomerMask()) == 0)
        return fail(Outcome::OtherCustomer, failedText() + ErrorCode(QStringLiteral("P02")));
    keepSerialNumber();

    QCoreApplication::processEvents();
    BusyCursor busy;
    openWait();
    if (const auto failed = readImage(fileName, imageFile)) return *failed;
    data_.Announce(StoreMoment::BeforeProgramming);
    if (!saveBackup()) {
        return fail(Outcome::BackupFailed,
                    text(650,
                         "Impossibile salvare la copia dei dati prima della "
                         "programmazione: la centralina non è stata toccata.") +
                        u'\n' + QDir::toNativeSeparators(backup_));
    }
    if (wait_)
        wait_->SetMessage(text(66, "Programmazione in corso. Attendere...") + u'\n' +
                          text(651, "Copia dei dati:") + u' ' + QFileInfo(backup_).fileName());

    const ProgrammingMode mode(link);
    result_ = flash(fileName, imageFile);
    Clock::current().waitMs(kAfterFlashMs);
    image_.clear();
    if (result_ != 0) return fail(Outcome::Failed, failedText() + ErrorCode(ResultCode(result_)));
    return writeBack();
}
