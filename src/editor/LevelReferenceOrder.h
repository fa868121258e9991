#pragma once

#include <array>
#include <cstdint>

// The four level references of a sensor ("Riserva", "1/4", "2/4", "3/4") as the technician
// types them must fall strictly on an inverted sensor and rise strictly on the others.
class LevelReferenceOrder {
  public:
    static bool IsValid(const std::array<int32_t, 4>& shown, bool inverted);
};
