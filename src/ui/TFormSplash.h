#pragma once

#include <QWidget>

class QLabel;

// The splash screen: the product logo, white, on top of everything, from the main screen's
// construction to its first show.
class TFormSplash : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kShowMs = 2000;

    explicit TFormSplash(QWidget* parent = nullptr);

    // Shows the splash and paints it at once.
    void ShowNow();
    // Takes the focus, waits kShowMs on the program's clock and closes.
    void Finish();

  private:
    QLabel* imageLogo_;
};
