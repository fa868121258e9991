#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class IEcuLink;
class TStreamDati;
class WaitView;

// Reprograms the ECU's firmware from a programming file: checks the boot loader's customer,
// keeps the ECU's serial number in the store, reads the image, saves the configuration held
// in memory to a backup file, flashes with up to five attempts at the technician's consent,
// then reconnects and writes the configuration back into the freshly programmed ECU.
// Messages are titled with the caller's caption and carry the codes P01-P12, "P" + digits,
// C01 and C02.
class ProgrammingSequence {
  public:
    enum class Outcome {
        BootUnreadable,   // P01
        OtherCustomer,    // P02
        CannotOpen,       // P03
        Damaged,          // P04
        BackupFailed,     // nothing erased
        Failed,           // the last attempt's result was not 0
        NoAnswer,         // C01, retrying declined
        NotIdentified,    // C02
        WriteBackFailed,  // programmed, the configuration not written back
        Programmed,
    };
    using WaitFactory = std::function<std::unique_ptr<WaitView>()>;

    static constexpr int kMaxAttempts = 5;

    // baseDirectory: the backups go to its "Backup" folder.
    ProgrammingSequence(TStreamDati& data, const QString& baseDirectory);

    void SetBaseDirectory(const QString& directory) { baseDirectory_ = directory; }
    void SetTitle(std::function<QString()> title) { title_ = std::move(title); }
    void SetWaitFactory(WaitFactory factory) { waitFactory_ = std::move(factory); }

    // imageFile: the file holds the bare image and the link reads it by name.
    Outcome Run(const QString& fileName, bool imageFile);

    // The backup of the last run; empty before one was written.
    QString BackupFile() const { return backup_; }
    int LastResult() const { return result_; }
    int Attempts() const { return attempts_; }

    // The code shown for a programming result: P05, P06, P07..P11, "P" + digits below -999,
    // else P12.
    static QString ResultCode(int result);
    static QString ErrorCode(const QString& code);
    // Backup/<serial number>_<date>-<time>.<extension>, never an existing file.
    static QString BackupName(const QString& folder, const QString& serialNumber,
                              const QString& extension, const QString& stamp);

  private:
    QString title() const;
    IEcuLink& programmer();
    void keepSerialNumber();
    void openWait();
    // Nothing when the file is good, else how it failed (already told).
    std::optional<Outcome> readImage(const QString& fileName, bool imageFile);
    bool saveBackup();
    int flash(const QString& fileName, bool imageFile);
    bool askRetry(int result);
    Outcome writeBack();
    Outcome fail(Outcome outcome, const QString& text);

    TStreamDati& data_;
    QString baseDirectory_;
    std::function<QString()> title_;
    WaitFactory waitFactory_;
    std::unique_ptr<WaitView> wait_;
    QString caption_;
    QByteArray image_;
    QString backup_;
    int result_ = 0;
    int attempts_ = 0;
};
