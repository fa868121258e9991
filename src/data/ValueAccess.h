#pragma once

#include <cstdint>

#include "EcuVariable.h"

struct DataContext;
class TemperatureCurve;

// Parameter codes of the screens to engineering values and back. Each code has one
// conversion; a setter writes to the ECU first and stores the raw value only on success.
class ValueAccess {
  public:
    enum class Conversion {
        LambdaType,  // position in the lambda type table
        Volts,       // raw x 5 / 255
        Raw,
        GasTemperature,
        EngineTemperature,
        Cylinders,      // position in the cylinder/ignition table, bit 6 kept
        InjectionType,  // raw + 1
        Tenths,         // raw x 0.1
        Fiftieths,      // raw x 0.02
        RpmThreshold,   // bit 0 is the direction bit, kept
        Milliseconds,   // raw x tick
        SlowTime,       // raw x tick x 5000
        Rounded,        // raw, rounded on the way in
        BitField,       // bits of variable 26
    };
    struct Code {
        uint32_t code;
        Conversion conversion;
        bool readFirst;  // refreshed from the ECU before every reading
    };

    static constexpr uint32_t kBitFieldVariable = EcuVariable::kBitFields;
    // What GetValue answers for an unknown code.
    static constexpr int kNoValue = 800000;

    // The curves the temperature conversions use.
    struct Curves {
        const TemperatureCurve& gas;
        const TemperatureCurve& engine;
    };

    explicit ValueAccess(DataContext& data) : data_(data) {}

    double GetValue(uint32_t code);
    int SetValue(int64_t code, double x);
    double GetElement(uint32_t code, int index);
    int SetElement(uint32_t code, int index, double x);

    static const Code* Find(uint32_t code);
    // A lambda or level voltage: raw x 5 / 255.
    static double Volts(int32_t raw) { return raw * 5.0 / 255.0; }
    // Pure conversions, for a stored raw value (old) and the store's tick.
    static double ToEngineering(const Code& code, int32_t raw, int32_t tick, const Curves& curves);
    // False when x names no list position.
    static bool ToRaw(const Code& code, double x, int32_t old, int32_t tick, const Curves& curves,
                      int32_t& raw);

  private:
    Curves curves() const;

    DataContext& data_;
};
