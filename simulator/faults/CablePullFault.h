#pragma once

#include <cstdint>

namespace sim {

// The cable between the adapter and the ECU: pulled by hand or after a number of request
// frames; while pulled nothing passes either way.
class CablePullFault {
  public:
    void pullAfter(int64_t frames) { pullAfter_ = frames; }
    void pull() { pulled_ = true; }
    void plug() {
        pulled_ = false;
        pullAfter_ = -1;
    }
    // framesSeen: the requests the ECU has received so far.
    bool cut(uint64_t framesSeen) {
        if (pullAfter_ >= 0 && framesSeen >= static_cast<uint64_t>(pullAfter_)) pulled_ = true;
        return pulled_;
    }
    bool pulled() const { return pulled_; }

  private:
    int64_t pullAfter_ = -1;
    bool pulled_ = false;
};

}  // namespace sim
