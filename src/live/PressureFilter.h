#pragma once

#include <array>

// The gas pressure shown is the mean of the last ten readings, in hundredths of a bar; the
// slots start at zero, so the mean climbs over the first ten readings.
class PressureFilter {
  public:
    static constexpr int kSlots = 10;

    // Stores a reading in the next slot and gives the new mean (integer division).
    int Add(int hundredths);
    int Mean() const { return mean_; }
    void Reset() { *this = PressureFilter(); }

  private:
    std::array<int, kSlots> slots_{};
    int index_ = 0;
    int mean_ = 0;
};
