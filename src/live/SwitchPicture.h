#pragma once

#include <QWidget>

// The small picture of the kit's changeover switch in the fuel group: a toggle in its plate.
class SwitchPicture : public QWidget {
    Q_OBJECT
  public:
    explicit SwitchPicture(QWidget* parent = nullptr) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};
