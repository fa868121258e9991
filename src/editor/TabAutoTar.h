#pragma once

#include <QPalette>
#include <array>

#include "ConfigTab.h"
#include "ZoneHighlight.h"

class QLabel;

// The manual carburation tab: one correction per load zone and column class; a new
// correction shifts every K-map cell of its part by the difference. The field of the part
// the engine runs in is highlighted, live.
class TabAutoTar : public ConfigTab {
    Q_OBJECT
  public:
    static constexpr int kFields = 8;

    TabAutoTar(TStreamDati& data, EditorHost& host, QWidget* parent);

    void LoadCaptions() override;
    void ShowTab() override;
    QWidget* FirstField() const override;

    // The operating-point boundaries of the map in use (at every showing of the editor).
    void ComputeBoundaries();
    // One live refresh: the speed and the bank-1 petrol time of the last reading.
    void Highlight(int speed, double petrolMs);
    // The field of a zone and column class (tag zone x 2 + class).
    TNumericEdit* Field(int zone, int columnClass) const;
    ZoneHighlight::Part Highlighted() const { return highlight_.Current(); }

    std::array<TNumericEdit*, kFields> EditCorrCarb;  // by tag
    void EditCorrCarbCommit(int tag);

  private:
    int32_t StoredCorrection(int zone, int columnClass) const;

    QLabel* labelTitolo_;
    std::array<QLabel*, 2> labelColonne_;
    std::array<QLabel*, 4> labelZone_;
    ZoneHighlight highlight_;
    TNumericEdit* highlighted_ = nullptr;
    QPalette normalPalette_;
};
