#pragma once

#include <QDialog>
#include <memory>

#include "ConfigFiles.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class TFormAttesa;
class TStreamDati;

// The full-screen window in which the technician saves the configuration in memory under a
// name, or picks a saved one to load into memory and, with an ECU connected, into the ECU.
// While it is open its working folder (one per fuel) is the current directory.
class TFormFile : public QDialog {
    Q_OBJECT
  public:
    enum Mode { kSave = 0, kLoad = 1 };

    // found: in load mode, set to whether there is any file to load (the caller shows the
    // window only then). baseDirectory: the program's base directory.
    TFormFile(TStreamDati& data, QWidget* owner, bool* found, Mode mode,
              const QString& baseDirectory);
    ~TFormFile() override;

    Mode FileMode() const { return mode_; }
    const ConfigFiles& Files() const { return files_; }

    // OK: save under the typed name, or load the chosen file.
    void ButtonOkClick();
    // Closing, however it happens: the current directory and the scrambling key go back.
    void done(int result) override;

    QTreeWidget* ListFile;
    QLineEdit* EditName;
    QLabel* LabelFile;
    QRadioButton* Radio34Cilindri;
    QRadioButton* Radio34568Cilindri;
    QPushButton* ButtonOk;
    QPushButton* ButtonAnnulla;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void placeControls();
    void loadTexts();
    void firstActivation();
    void fillList();
    void chooseModel(int tag);
    void save();
    void load();
    bool saveFirst();
    std::unique_ptr<TFormAttesa> openWait(int caption, const QString& captionText, int message,
                                          const QString& messageText);
    void report(int number, const QString& text, const QString& path);
    void restore();

    TStreamDati& data_;
    Mode mode_;
    QString baseDirectory_;
    ConfigFiles files_;
    bool activated_ = false;
    bool releasedOverItem_ = false;
};
