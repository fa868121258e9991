#pragma once

#include <QDialog>

class QLabel;

// A borderless one-line notice shown while something short happens; the caller sets the
// caption and the text, shows it and frees it when done.
class TFormMessaggio : public QDialog {
    Q_OBJECT
  public:
    explicit TFormMessaggio(QWidget* owner = nullptr);

    void SetMessage(const QString& text);
    QString Message() const;
    // Shows the notice and paints it at once.
    void ShowNow();

  private:
    QLabel* messaggio_;
};
