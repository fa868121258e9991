#pragma once

#include <cstdint>

// One value the data module wrote through to the ECU outside a transfer: the ECU variable
// (the parameter's code) and element, what the store held, what the ECU was given, and
// whether the ECU took it.
struct ValueWrite {
    uint32_t variable = 0;
    int element = 0;  // for a table, line x line length + column
    int32_t oldRaw = 0;
    int32_t newRaw = 0;
    bool ok = false;

    bool operator==(const ValueWrite&) const = default;
};

// The moments when a configuration changes hands; the store holds, when each is announced,
// the configuration it names.
enum class StoreMoment {
    Connected,          // the connect command read the ECU's configuration
    Initialised,        // the connect command wrote a base configuration into the ECU
    BeforeLoad,         // a configuration file is about to be written into the ECU
    BeforeProgramming,  // the firmware is about to be replaced
    AfterProgramming,   // the configuration was written back after programming
    AfterCalibration,   // re-read after a calibration
    BeforeReset,        // the ECU is about to be reset
    Disconnecting,      // the disconnect command is about to end the connection
};

// Who hears of the data module's writes and moments (the workshop archive, through the
// program's wiring). Called on the user-interface thread, inside the data module's own
// calls: a listener reads the store, never changes it or the ECU.
class StoreListener {
  public:
    virtual ~StoreListener() = default;
    virtual void ValueWritten(const ValueWrite& write) = 0;
    virtual void MomentReached(StoreMoment moment) = 0;
};
