#include "GraphPyramid.h"

#include <cstddef>

namespace {
// Ties keep the earlier record, as a scan from the left does.
void merge(const std::vector<double>& v, GraphPyramid::Extremes& into,
           const GraphPyramid::Extremes& next) {
    if (v[std::size_t(next.low)] < v[std::size_t(into.low)]) into.low = next.low;
    if (v[std::size_t(next.high)] > v[std::size_t(into.high)]) into.high = next.high;
}
}  // namespace

void GraphPyramid::build(const std::vector<double>& values) {
    levels_.clear();
    const int count = int(values.size());
    std::vector<Extremes> level;
    level.reserve(std::size_t(count / kLeaf));
    for (int block = 0; (block + 1) * kLeaf <= count; ++block) {
        const int start = block * kLeaf;
        Extremes e{start, start};
        for (int i = start + 1; i < start + kLeaf; ++i) merge(values, e, {i, i});
        level.push_back(e);
    }
    // Each level pairs the full blocks of the one below; an odd last block waits for the scan.
    while (!level.empty()) {
        std::vector<Extremes> next;
        next.reserve(level.size() / 2);
        for (std::size_t i = 0; i + 1 < level.size(); i += 2) {
            Extremes e = level[i];
            merge(values, e, level[i + 1]);
            next.push_back(e);
        }
        levels_.push_back(std::move(level));
        level = std::move(next);
    }
}

GraphPyramid::Extremes GraphPyramid::extremes(const std::vector<double>& values, int first,
                                               int end) const {
    Extremes result{first, first};
    int i = first;
    while (i < end) {
        // The biggest block that starts here and ends inside the run, else one record.
        int level = -1;
        while (level + 1 < int(levels_.size())) {
            const int size = kLeaf << (level + 1);
            if (i % size != 0 || i + size > end || std::size_t(i / size) >= levels_[level + 1].size())
                break;
            ++level;
        }
        if (level < 0) {
            merge(values, result, {i, i});
            ++i;
        } else {
            const int size = kLeaf << level;
            merge(values, result, levels_[std::size_t(level)][std::size_t(i / size)]);
            i += size;
        }
    }
    return result;
}
