#pragma once

#include <cstdint>
#include <string>

namespace sim {

// How the virtual ECU is built and how it misbehaves on request.
struct VirtualEcuOptions {
    enum class PressureCoefficients { Bits8, Bits16, Absent };

    int model = 30;
    int customer = 7;          // 253 = a blank ECU without a customer
    int bootCustomer = -1;     // the boot loader's copy; -1 = the same as customer
    int firmwareMajor = 4;     // identity byte 3
    int firmwareMinor = 7;     // identity byte 2
    bool initRequest = false;  // status bit 0 set at power-on
    PressureCoefficients pressureCoefficients = PressureCoefficients::Bits16;
    int kColumns = 6;               // K map: columns (engine speed), 1..12
    int kRows = 12;                 // K map: time breakpoints; the map has kRows + 1 rows, 1..12
    int bootMs = 600;               // variable 2 reads 172 this long after a handshake
    int restartMs = 1500;           // silence after a restart (programming, calibration, reset)
    uint8_t calibrationErrors = 0;  // error bits reported after calibration step 1
    int32_t programResult = 0;      // result of a programming run, 0 = the ECU's own verdict
    int programFailures = -1;       // runs that get programResult; -1 = every run
    bool refuseWrites = false;
    bool refuseWritesAfterProgramming = false;  // from the restart after a programming
    int liveBlockBytes = 34;  // bytes of live-data block 1 sent; fewer: a short reply
    int refusedVariable = -1;  // writes to this variable are refused; -1 = none
    int refusedIndex = -1;     // only this element of it; -1 = every element
    uint32_t seed = 1;
    double ambientC = 18.0;
    std::string serialNumber = "VE-0030-2401-000123";
};

}  // namespace sim
