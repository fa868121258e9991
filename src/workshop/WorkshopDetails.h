#pragma once

#include <QString>

class TQorGlobalData;

// The workshop's name, address and telephone, printed at the head of every report; kept
// beside the program's other settings, entered once.
struct WorkshopDetails {
    static constexpr int kMaxText = 120;

    QString name;       // "NomeOfficina"
    QString address;    // "IndirizzoOfficina"
    QString telephone;  // "TelefonoOfficina"

    bool IsEmpty() const { return name.isEmpty() && address.isEmpty() && telephone.isEmpty(); }
    // Each text cut to kMaxText characters, line breaks made spaces.
    WorkshopDetails Bounded() const;

    static WorkshopDetails Load(const TQorGlobalData& settings);
    // False when the settings could not be written.
    static bool Save(const TQorGlobalData& settings, const WorkshopDetails& details);
};
