#pragma once

#include <cstdint>

namespace ecu {

// The link's own time source: time-outs and retries are measured on it, so tests can run the
// link in virtual time.
class LinkClock {
  public:
    virtual ~LinkClock() = default;
    virtual int64_t nowMs() = 0;
};

}  // namespace ecu
