#pragma once

#include <vector>

// The lowest and highest record of any run of records of one trace, found in a number of steps
// that grows with the logarithm of the run, not with its length: each level holds, for blocks
// of twice the records of the level below, where their lowest and highest values are. A day of
// recording then redraws as fast as a minute.
class GraphPyramid {
  public:
    static constexpr int kLeaf = 8;  // records per block of the first level

    struct Extremes {
        int low = 0;  // the index of the first lowest record
        int high = 0;  // the index of the first highest record
    };

    // Builds the levels over these values. The pyramid keeps indices only: it answers for
    // the same values, or a copy of them, until they change.
    void build(const std::vector<double>& values);
    // The extremes of the records [first, end) of those values; the run must not be empty.
    Extremes extremes(const std::vector<double>& values, int first, int end) const;

  private:
    std::vector<std::vector<Extremes>> levels_;  // level k: blocks of kLeaf << k records
};
