#pragma once

#include <QColor>
#include <QWidget>

// A filled rectangle with an outline: the bars of the live view (thermometer, lambda, MAP).
class ShapeBar : public QWidget {
    Q_OBJECT
  public:
    explicit ShapeBar(const QColor& fill, const QColor& outline, QWidget* parent = nullptr);

    void SetFill(const QColor& fill);
    QColor Fill() const { return fill_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor fill_;
    QColor outline_;
};
