#pragma once

#include <QString>

// The vehicle's description kept with a configuration file; none of it reaches the ECU.
struct VehicleRecord {
    static constexpr int kLongText = 50;
    static constexpr int kEuroText = 10;
    static constexpr int kDefaultDisplacement = 1600;

    QString description;                      // "DescrizAuto"
    QString euro;                             // "Euro"
    int displacement = kDefaultDisplacement;  // "CentCubici"
    int valves = 0;                           // "Valvole"
    int cylinders = 0;                        // "N cilindri"
    float power = 0;                          // "Potenza", kept in units; the file holds hundredths
    QString engine;                           // "Motore"
    QString ecu;                              // "Centralina"
    QString gearbox;                          // "Cambio"
    int year = 0;                             // "AnnoVettura"

    // Empty texts and zero numbers, as after a read from the ECU.
    void Clear() {
        *this = VehicleRecord{};
        displacement = 0;
    }
    bool operator==(const VehicleRecord&) const = default;
};
