#pragma once

#include <cstdint>

namespace sim {

// The time bytes take on a real line at a given baud (8N1); 0 baud = no time at all.
class LineSpeed {
  public:
    void setBaud(int baud) { baud_ = baud < 0 ? 0 : baud; }
    int baud() const { return baud_; }
    bool emulated() const { return baud_ > 0; }
    // Microseconds on the wire for this many bytes.
    int64_t microsFor(int64_t bytes) const { return baud_ > 0 ? bytes * 10'000'000 / baud_ : 0; }

  private:
    int baud_ = 0;
};

}  // namespace sim
