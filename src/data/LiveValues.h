#pragma once

// The engine values of one read of the live-data block, in engineering units. The bank-2
// values (second lambda probe, second injector bank) keep their previous contents when a
// read does not carry them; everything starts at zero.
struct LiveValues {
    // Bits of the status byte.
    static constexpr int kOpenLoop = 0x02;
    static constexpr int kCutOff = 0x04;
    static constexpr int kOnGas = 0x10;
    static constexpr int kLambda1On = 0x20;  // lambda 1 colour indication
    static constexpr int kLambda2On = 0x40;  // lambda 2 colour indication

    int rpm = 0;
    double lambda1 = 0;    // volts
    int mapRaw = 0;        // the MAP sensor byte
    double mapBar = 0;     // MAP pressure: internal sensor (option 12) or the external one's line
    double gasMs1 = 0;     // injection times of bank 1, milliseconds
    double petrolMs1 = 0;  //
    int status = 0;        // the status byte
    int t1Code = 0;        // temperature input 1 (the reducer), sensor code
    double t1 = 0;         // degrees C on the gas curve; 0 for code 0
    int pressure = 0;      // gas pressure in hundredths of a bar (thousandths / 10, cut)
    int t2Code = 0;        // temperature input 2, sensor code
    double t2 = 0;         // degrees C on the engine curve; 0 for code 0
    double lambda2 = 0;    // volts, bank 2
    double gasMs2 = 0;     // injection times of bank 2, milliseconds
    double petrolMs2 = 0;  //

    bool openLoop() const { return (status & kOpenLoop) != 0; }
    bool cutOff() const { return (status & kCutOff) != 0; }
    bool onGas() const { return (status & kOnGas) != 0; }
    bool lambda1On() const { return (status & kLambda1On) != 0; }
    bool lambda2On() const { return (status & kLambda2On) != 0; }

    bool operator==(const LiveValues&) const = default;
};
