#include "LoadZones.h"

#include <algorithm>

int LoadZones::PartOf(int row, int column) {
    if (row < 0 || row >= kTableRows || column < 0 || column >= kTableColumns) return -1;
    const int zone = row < 9 ? row / 3 : 3;
    return zone * 4 + (column == 0 ? 0 : 1);
}

std::vector<LoadZones::Cell> LoadZones::Shift(
    const std::function<int32_t(int row, int column)>& cell, int kRows, int kColumns, int zone,
    int columnClass, int delta) {
    std::vector<Cell> cells;
    const int part = zone * 4 + columnClass;
    for (int r = 0; r <= kRows && r < kTableRows; ++r) {
        for (int c = 0; c < kColumns && c < kTableColumns; ++c) {
            if (PartOf(r, c) != part) continue;
            const int32_t shifted = cell(r, c) + delta;
            if (shifted >= 0 && shifted <= 255) cells.push_back({r, c, shifted});
        }
    }
    return cells;
}

int32_t LoadZones::NewCorrection(int32_t old, int delta) {
    return std::clamp(old + delta, -128, 127);
}

std::vector<int> LoadZones::SpeedBoundaries(const std::vector<int>& speedBreakpoints) {
    std::vector<int> b{0};
    for (size_t k = 1; k < speedBreakpoints.size(); ++k)
        b.push_back((speedBreakpoints[k] + speedBreakpoints[k - 1]) / 2);
    b.push_back(b.back() + 1000);
    return b;
}

std::vector<double> LoadZones::TimeBoundaries(const std::vector<double>& timeBreakpointsMs) {
    std::vector<double> t{0};
    for (size_t k = 1; k < timeBreakpointsMs.size(); ++k)
        t.push_back((timeBreakpointsMs[k] + timeBreakpointsMs[k - 1]) / 2);
    t.push_back(t.back() + 2.5);
    return t;
}
