#pragma once

#include <QString>

#include "AcquisitionRecord.h"
#include "AcquisitionWriter.h"

struct LiveValues;

// A recording of the live view from start to the name the user gives it: the temporary file
// in the acquisition folder while it runs, then the save dialog and the move onto the chosen
// name. Nothing recorded is lost silently: a file that cannot be created, written, closed or
// moved is reported, and what was recorded stays in the temporary file, whose name the
// message gives. Only the user's Cancel in the save dialog deletes it.
class AcquisitionRecorder {
  public:
    // folder: the acquisition folder, where the dialogs open and the temporary file lives.
    explicit AcquisitionRecorder(QString folder) : folder_(std::move(folder)) {}

    // The record of one read: lambda volts cut to two decimals, the pressure mean in bar,
    // whole degrees. The time is set when it is appended.
    static AcquisitionRecord RecordOf(const LiveValues& values, int pressureMean);

    bool IsRecording() const { return writer_.IsOpen(); }
    QString Folder() const { return folder_; }
    QString TemporaryPath() const { return writer_.Path(); }
    // The name chosen in the last save dialog.
    QString LastFileName() const { return lastFileName_; }

    // title: the caption of the window that shows the messages. False (reported) when the
    // temporary file cannot be made; nothing records then.
    bool Start(const QString& title, bool secondProbe);
    // Appends one record timed from the start. A write that fails is reported and ends the
    // recording, kept under its temporary name; false then.
    bool Append(AcquisitionRecord record, const QString& title);
    // Closes the file and saves it under the name the user chooses (see the class comment).
    void Stop(const QString& title);

  private:
    void keep(const QString& title, const QString& what, const QString& reason);
    bool saveAs(const QString& title);

    QString folder_;
    AcquisitionWriter writer_;
    qint64 startMs_ = 0;
    QString lastFileName_;
};
