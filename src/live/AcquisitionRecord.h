#pragma once

#include <cstdint>

// One line of an acquisition file: the live values of one poll. The last three columns are
// written and read only for an ECU with a second lambda probe (files of version 2).
struct AcquisitionRecord {
    int32_t time = 0;        // TEMPO: milliseconds since the recording started
    int32_t rpm = 0;         // GIRI
    double lambda1 = 0;      // LAMBDA, volts
    double gasTime1 = 0;     // INJ., ms
    double petrolTime1 = 0;  // INJ.BNZ, ms
    double pressure = 0;     // PRESS., bar
    double reducerTemp = 0;  // T.RID., degrees C, written as a whole number
    double engineTemp = 0;   // T.MOT., degrees C, written as a whole number
    double lambda2 = 0;      // LAMBDA2, volts
    double gasTime2 = 0;     // INJ2., ms
    double petrolTime2 = 0;  // INJ.BNZ2, ms

    bool operator==(const AcquisitionRecord&) const = default;
};
