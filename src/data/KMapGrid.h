#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// The K maps of two configurations side by side, cell by cell: as many lines and columns as
// the larger of the two holds, a cell empty on the side whose map is smaller.
struct KMapGrid {
    struct Cell {
        std::optional<int32_t> a;
        std::optional<int32_t> b;
        bool Changed() const { return a != b; }
        // b - a, 0 unless both hold the cell.
        int32_t Delta() const { return a && b ? *b - *a : 0; }
    };

    int lines = 0;  // the map's rows + 1
    int columns = 0;
    std::vector<Cell> cells;  // line by line

    const Cell& At(int line, int column) const {
        return cells.at(static_cast<size_t>(line * columns + column));
    }
    int ChangedCount() const {
        int n = 0;
        for (const Cell& cell : cells) n += cell.Changed() ? 1 : 0;
        return n;
    }
};
