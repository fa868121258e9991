#include "LevelSensor.h"

#include <cstddef>

namespace {
constexpr std::array<int32_t, LevelSensor::kPositions> kCodes = {129, 2, 4, 131, 193, 66, 68, 195};
}

int32_t LevelSensor::CodeOf(int position) {
    if (position < 0 || position >= kPositions) return -1;
    return kCodes[static_cast<std::size_t>(position)];
}

int LevelSensor::PositionOf(int32_t code) {
    for (int i = 0; i < kPositions; ++i)
        if (kCodes[static_cast<std::size_t>(i)] == code) return i;
    return -1;
}
