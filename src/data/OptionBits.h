#pragma once

#include <cstdint>
#include <optional>

// The on/off options packed into the two words "Flag1" and "Flag2".
class OptionBits {
  public:
    struct Bit {
        int word;  // 0: Flag1, 1: Flag2
        uint16_t mask;
    };
    static constexpr int kLowest = 1;
    static constexpr int kHighest = 15;

    // The bit of option n, nothing for numbers outside the table.
    static std::optional<Bit> Of(int option);
};
