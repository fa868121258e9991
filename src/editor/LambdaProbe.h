#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The lambda probe types of the list and what a change of type writes: the reference and
// emulation levels of the new type, in volts.
class LambdaProbe {
  public:
    static constexpr int kEntries = 4;            // entries of the list
    static constexpr int32_t kIgnoredBit = 0x40;  // not part of the type when reading
    static constexpr int kParameters = 7;

    struct Default {
        int code;  // parameter code (the ECU variable)
        double volts;
    };
    using Defaults = std::array<Default, kParameters>;

    // The list entry of a stored code; -1 when the list has none.
    static int EntryOf(int32_t stored);
    // Bit 0 set: the probe reads high when lean ("5 - 0 Volt").
    static bool IsInverted(int32_t stored) { return (stored & 1) != 0; }
    // The defaults of a stored code, in writing order; nothing for a code outside the table.
    static std::optional<Defaults> DefaultsOf(int32_t stored);
    // The order in which the seven parameters are read back after the defaults.
    static constexpr std::array<int, kParameters> kReadBack = {5, 8, 9, 10, 11, 71, 72};
};
