#pragma once

#include <array>

#include "ConfigTab.h"

class QGroupBox;
class QLabel;
class QPushButton;

// The gas level tab: the level sensor type and, for the types without standard references,
// the four level references, written together by "Accetta".
class TabSensore : public ConfigTab {
    Q_OBJECT
  public:
    TabSensore(TStreamDati& data, EditorHost& host, QWidget* parent);

    void LoadCaptions() override;
    void ShowTab() override;
    QWidget* FirstField() const override;

    TKeyComboBox* ComboSensore;
    QGroupBox* GroupRifSensore;
    std::array<TNumericEdit*, 4> EditLivello;
    QPushButton* ButtonAccetta;

    void ComboSensoreCommit(int position);
    void ButtonAccettaClick();

  private:
    QLabel* labelSensore_;
    std::array<QLabel*, 4> labelLivello_;
    QLabel* labelConferma_;
};
