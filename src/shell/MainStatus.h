#pragma once

#include <QString>
#include <array>

#include "MainState.h"

// The four texts of the main screen's status bar: link state, configuration description,
// firmware version and fuel, as the main-state codes change them.
class MainStatus {
  public:
    static constexpr int kPanels = 4;
    // The main-state codes, as MainStatus::kLinkUp and so on.
    using enum MainState::Code;

    // What the panels show, taken from the data module when a code arrives.
    struct Facts {
        bool connected = false;
        QString description;
        int firmwareMajor = 0;  // identity byte 3
        int firmwareMinor = 0;  // identity byte 2
        bool cng = false;       // option 1
    };

    QString Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }
    bool Connected() const { return connected_; }

    // Codes 0, 1, 2 and 5; the others change no panel.
    void Apply(int code, const Facts& facts);
    // Panel 1 from the current description (at every paint).
    void RefreshDescription(const QString& description);
    // After a language change: every panel in the new language, values kept.
    void Reload(const Facts& facts);

  private:
    static QString linkText(bool connected);
    static QString fuelText(bool cng);

    std::array<QString, kPanels> panels_;
    bool connected_ = false;
};
