#pragma once

#include <QDialog>
#include <optional>

class QLineEdit;
class QPushButton;

// The offset of the compared recording, typed in seconds ("1,5" or "1.5", negative moves it
// back); OK takes only a number, Annulla leaves it as it was.
class TFormSpostamento : public QDialog {
    Q_OBJECT
  public:
    TFormSpostamento(const QString& caption, double seconds, QWidget* parent = nullptr);

    // The typed seconds, when they are a number.
    std::optional<double> Seconds() const;
    void accept() override;

    QLineEdit* EditSecondi;
    QPushButton* ButtonOk;
    QPushButton* ButtonAnnulla;
};
