#pragma once

#include <QDialog>
#include <QStringList>

#include "GraphXY.h"

class QComboBox;
class QPushButton;

// The two traces of the XY view: one across, one up, each chosen from the recording's traces.
class TFormAssiXY : public QDialog {
    Q_OBJECT
  public:
    // traces: the trace numbers offered, names: their names, in the same order.
    TFormAssiXY(const QString& caption, const std::vector<int>& traces, const QStringList& names,
                GraphXY::Axes axes, QWidget* parent = nullptr);

    GraphXY::Axes Axes() const;

    QComboBox* ComboX;
    QComboBox* ComboY;
    QPushButton* ButtonOk;
    QPushButton* ButtonAnnulla;

  private:
    std::vector<int> traces_;
};
