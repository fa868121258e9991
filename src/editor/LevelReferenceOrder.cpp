#include "LevelReferenceOrder.h"

#include <cstddef>

bool LevelReferenceOrder::IsValid(const std::array<int32_t, 4>& shown, bool inverted) {
    for (std::size_t i = 1; i < shown.size(); ++i) {
        const bool ordered = inverted ? shown[i - 1] > shown[i] : shown[i - 1] < shown[i];
        if (!ordered) return false;
    }
    return true;
}
