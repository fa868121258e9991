#pragma once

#include <functional>

#include "ConfigTab.h"

class QLabel;
class QPushButton;

// The changeover and engine tab: fuel type, rpm signal, cylinders, ignition, the changeover
// threshold and temperature, and the reset of the ECU to its base parameters.
class TabCambio : public ConfigTab {
    Q_OBJECT
  public:
    TabCambio(TStreamDati& data, EditorHost& host, QWidget* parent);

    void LoadCaptions() override;
    void ShowTab() override;
    QWidget* FirstField() const override;

    // The cylinder list for the connected ECU model (at every showing of the editor).
    void FillCylinders();
    // Placement and limits set at every showing.
    void PlaceFields();
    // The changeover temperature with its caption and unit.
    void ShowTemperature(bool visible);
    void SetResetCommand(std::function<void()> command) { resetCommand_ = std::move(command); }

    TKeyComboBox* ComboCarburante;
    TKeyComboBox* ComboSegnaleGiri;
    TKeyComboBox* ComboCilindri;
    TKeyComboBox* ComboAccensione;
    TNumericEdit* EditGiriCambio;
    TNumericEdit* EditTempCambio;
    QPushButton* ButtonReset;
    QLabel* LabelNota;

    void ComboCarburanteCommit(int position);
    void ComboSegnaleGiriCommit(int position);
    void ComboCilindriCommit(int position);
    void ComboAccensioneCommit(int position);
    void ButtonResetClick();

  private:
    bool ReloadBaseCarburation();

    QLabel* labelCarburante_;
    QLabel* labelSegnaleGiri_;
    QLabel* labelCilindri_;
    QLabel* labelAccensione_;
    QLabel* labelGiriCambio_;
    QLabel* unitGiriCambio_;
    QLabel* labelTempCambio_;
    QLabel* unitTempCambio_;
    int rememberedFuel_ = 0;
    std::function<void()> resetCommand_;
};
