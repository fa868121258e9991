#pragma once

#include <QDialog>
#include <memory>

#include "Dialogs.h"
#include "ProgrammingSequence.h"

class QLabel;
class QPushButton;
class TStreamDati;

// The programming command's small window: the chosen programming file, its date, and the
// buttons to program, to change the file or to cancel. Made once and kept, so the chosen file
// holds for the rest of the run; the first use opens the file dialog at once.
class TFormScarica : public QDialog {
    Q_OBJECT
  public:
    explicit TFormScarica(TStreamDati& data, QWidget* parent = nullptr);
    ~TFormScarica() override;

    // The program's base directory: the file dialog opens in its "Firmware" folder, the
    // backups go to its "Backup" folder.
    void SetBaseDirectory(const QString& directory);
    // The caption the programming's messages are titled with (the main screen's).
    void SetTitle(std::function<QString()> title);

    // The whole command: choose the file, then program. Cancelling ends it quietly.
    void ActionProgrammaExecute();
    // Choosing the file: true when the window closed with "Programma".
    bool Choose();
    QString FileName() const { return fileName_; }
    ProgrammingSequence& Sequence() { return sequence_; }

    // "not avaible" when the file's time cannot be read.
    static QString DateText(const QString& fileName);

    QLabel* LabelN;
    QLabel* LabelD;
    QPushButton* ButtonRiprogr;
    QPushButton* ButtonCambia;
    QPushButton* ButtonAnnulla;

  private:
    void loadTexts();
    bool openFile();
    void ButtonCambiaClick();

    TStreamDati& data_;
    ProgrammingSequence sequence_;
    Dialogs::FileRequest OpenDialogFile;
    QString fileName_;
};
