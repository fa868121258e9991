#pragma once

#include <QStatusBar>
#include <array>
#include <functional>

#include "MainStatus.h"

// The main screen's status bar: four painted panels. Panel 0 is filled yellow while the ECU
// is not connected; panel 1 is rebuilt from the current description at every paint.
class TStatusBarMain : public QStatusBar {
    Q_OBJECT
  public:
    static constexpr std::array<int, MainStatus::kPanels> kDesignWidths = {220, 300, 210, 50};
    static constexpr int kCharacterPixels = 13;

    // screenWidth scales the panel widths (width x screen width / 800).
    TStatusBarMain(MainStatus& status, int screenWidth, QWidget* parent = nullptr);

    void SetDescriptionSource(std::function<QString()> description) {
        description_ = std::move(description);
    }
    int PanelWidth(int index) const { return widths_.at(static_cast<size_t>(index)); }
    QRect PanelRect(int index) const;
    // Panel top + (panel height - character height) / 2 - 1.
    static int TextTop(int panelTop, int panelHeight, int characterHeight);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    MainStatus& status_;
    std::function<QString()> description_;
    std::array<int, MainStatus::kPanels> widths_{};
};
