#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

#include "WorkshopDetails.h"

class ParameterStore;

// What a report tells besides the configuration itself: the workshop, the day, what the
// workshop archive knows of the vehicle and the ECU, and the base configuration of the fuel.
// Everything but the workshop and the date is optional.
struct ReportFacts {
    WorkshopDetails workshop;
    QDate date;

    // The vehicle as the archive has it (empty: not linked).
    QString plate;
    QString vin;
    QString makeModel;
    QString customer;

    // The ECU, when the report is of a connected or archived ECU.
    std::optional<int> model;
    std::optional<int> firmwareMajor;
    std::optional<int> firmwareMinor;
    std::optional<QDateTime> lastCalibration;

    // The fuel's base configuration; none: no differences section.
    const ParameterStore* base = nullptr;
};
