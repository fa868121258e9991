#include "PressureFilter.h"

#include <cstddef>
#include <numeric>

int PressureFilter::Add(int hundredths) {
    slots_[static_cast<std::size_t>(index_)] = hundredths;
    index_ = (index_ + 1) % kSlots;
    mean_ = std::accumulate(slots_.begin(), slots_.end(), 0) / kSlots;
    return mean_;
}
