#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <vector>

class QCheckBox;
class QPushButton;

// The traces dialog of the graph: one check box per trace, named "CheckTrack" + its number,
// checked while the trace is shown; OK applies them, Annulla leaves everything as it was.
class TFormGestioneTracce : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 280;
    static constexpr int kClientHeight = 53;

    TFormGestioneTracce(const QStringList& titles, const std::vector<bool>& active,
                        QWidget* parent = nullptr);

    // The state of each check box, in trace order.
    std::vector<bool> Active() const;

    QList<QCheckBox*> Checks;
    QPushButton* ButtonOk;
    QPushButton* ButtonAnnulla;
};
