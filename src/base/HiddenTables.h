#pragma once

#include <array>
#include <cstdint>

// The build profile's hidden texts, stored as differences (HiddenText), each ending with the
// one that decodes to zero. The first two serve every customer, the last two this build's
// customer.
namespace HiddenTables {
inline constexpr std::array<uint8_t, 31> kProductTitle = {
    67,  34, 9,  6,   254, 239, 11,  253, 5,   243, 191, 39,  26, 18,  173, 13,
    243, 35, 44, 255, 248, 3,   254, 14,  253, 239, 19,  251, 3,  243, 155};
inline constexpr std::array<uint8_t, 13> kRegistrySubkey = {67,  34, 9,   6,   254, 239, 11,
                                                            253, 5,  243, 230, 12,  173};
inline constexpr std::array<uint8_t, 47> kScrambleKey = {
    75,  43,  173, 48, 18, 12,  4,   240, 9,   12,  239, 248, 11, 249, 202, 24,
    9,   252, 225, 32, 24, 15,  237, 13,  1,   178, 34,  37,  1,  248, 21,  239,
    201, 33,  23,  0,  3,  250, 6,   5,   243, 29,  180, 254, 2,  4,   202};
inline constexpr std::array<uint8_t, 29> kCustomerText = {
    75,  30, 11, 172, 83,  242, 12,  4,  240, 9,  12,  239, 248, 11, 249,
    187, 39, 9,  252, 212, 69,  187, 45, 24,  15, 237, 13,  1,   145};
}  // namespace HiddenTables
