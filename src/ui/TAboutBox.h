#pragma once

#include <QDialog>

class QLabel;

// The about box: logo, product name, version with the edition letter, one more line.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    // caption: the main window's caption, also the product name shown.
    explicit TAboutBox(const QString& caption, QWidget* parent = nullptr);

    QString ProductName() const;
    QString Version() const;

    // The about command: builds the box, shows it modally and frees it.
    static void Run(const QString& caption, QWidget* parent);

  private:
    QLabel* productName_;
    QLabel* version_;
};
