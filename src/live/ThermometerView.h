#pragma once

#include <QWidget>

// The thermometer picture behind the temperature bar: a glass tube on a bulb, marked every
// 10 degrees between the lines of 0 and 100 degrees.
class ThermometerView : public QWidget {
    Q_OBJECT
  public:
    explicit ThermometerView(QWidget* parent = nullptr);

    // The heights, in the widget, of the 0 and 100 degree lines; the bar stands between them.
    void SetScale(int zeroY, int hundredY);
    // The tube's inside, where the bar goes.
    QRect Bore() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int zeroY_ = 0;
    int hundredY_ = 0;
};
