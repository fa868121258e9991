#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The K map divided into four load zones (rows of petrol injection time), each split into
// its idle column and the off-idle columns: the eight parts the carburation tab corrects.
class LoadZones {
  public:
    static constexpr int kZones = 4;
    static constexpr int kClasses = 2;  // 0 idle ("Minimo"), 1 off idle ("Fuori minimo")
    static constexpr int kTableRows = 13;
    static constexpr int kTableColumns = 12;

    // zone x 4 + column class of a K-map cell; -1 outside the table.
    static int PartOf(int row, int column);

    struct Cell {
        int row;
        int column;
        int32_t value;
    };
    // The cells of a part shifted by delta, over the map in use (kRows + 1 rows of kColumns),
    // leaving out the cells whose new value would leave 0..255.
    static std::vector<Cell> Shift(const std::function<int32_t(int row, int column)>& cell,
                                   int kRows, int kColumns, int zone, int columnClass, int delta);
    static int32_t NewCorrection(int32_t old, int delta);

    // The operating-point boundaries from the breakpoints: B0 = 0, the midpoints, and one
    // more past the last (1000 rpm, 2.5 ms).
    static std::vector<int> SpeedBoundaries(const std::vector<int>& speedBreakpoints);
    static std::vector<double> TimeBoundaries(const std::vector<double>& timeBreakpointsMs);
    // The interval of value among boundaries b0..bn: the largest i below n with bi <= value
    // (a value on a boundary belongs to the upper interval).
    template <typename T>
    static int IntervalOf(T value, const std::vector<T>& boundaries) {
        int found = 0;
        const int last = static_cast<int>(boundaries.size()) - 2;
        for (int i = 0; i <= last; ++i)
            if (boundaries[static_cast<size_t>(i)] <= value) found = i;
        return found;
    }
};
