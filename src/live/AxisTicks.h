#pragma once

#include <vector>

// Where an axis puts its ticks: at round values, steps of 1, 2 or 5 times a power of ten, so a
// reader takes 2.5 or 40 off the scale at a glance instead of 2.4 or 4.7.
class AxisTicks {
  public:
    // The smallest round step that puts at most `most` ticks on [low, high]; 0 for an empty
    // or reversed range.
    static double Step(double low, double high, int most);
    // Every multiple of that step inside [low, high], ascending.
    static std::vector<double> Values(double low, double high, int most);
    // The decimals that write every multiple of the step exactly: 0.2 -> 1, 0.05 -> 2, 5 -> 0.
    static int Decimals(double step);
};
