#pragma once

#include <QColor>
#include <QWidget>

// A round warning lamp of the fuel group: lit in its colour, or dark.
class FuelLamp : public QWidget {
    Q_OBJECT
  public:
    FuelLamp(const QColor& lit, QWidget* parent = nullptr);

    void SetLit(bool lit);
    bool IsLit() const { return lit_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor colour_;
    bool lit_ = false;
};
