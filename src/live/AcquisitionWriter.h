#pragma once

#include <QFile>
#include <QString>

#include "AcquisitionRecord.h"

// Writes a recording into a temporary file "__acqtmp<N>.txt" of the acquisition folder, one
// record at a time, each pushed to the disk at once so that a crash loses at most the record
// being written. The finished file is then moved onto the name the user chose.
class AcquisitionWriter {
  public:
    static constexpr int kMaxTemporaryNumber = 9999;

    AcquisitionWriter() = default;
    ~AcquisitionWriter();
    AcquisitionWriter(const AcquisitionWriter&) = delete;
    AcquisitionWriter& operator=(const AcquisitionWriter&) = delete;

    // "<folder>/__acqtmp<N>.txt" for the first N with no such file.
    static QString FreeTemporaryName(const QString& folder);

    // Creates the folder if needed and the first free temporary file in it, and writes the
    // header and the headings. False when the file cannot be created or written; Path() then
    // names the file that was tried.
    bool Open(const QString& folder, int version, const QString& started);
    // A line break and the record. False when the file refuses it.
    bool Append(const AcquisitionRecord& record);
    // False when the last bytes could not be written.
    bool Close();

    bool IsOpen() const { return file_.isOpen(); }
    int Version() const { return version_; }
    QString Path() const { return file_.fileName(); }
    QString ErrorString() const { return error_; }

    // Moves a closed recording onto target in one step: a file already there is replaced, and
    // is never missing, whatever fails. Across file systems the bytes are copied and the source
    // removed afterwards. On failure both files are as they were.
    static bool MoveOnto(const QString& source, const QString& target, QString* error = nullptr);

  private:
    bool write(const QByteArray& bytes);

    QFile file_;
    int version_ = 1;
    QString error_;
};
