#pragma once

#include "LinkClock.h"

namespace ecu {

// Real, monotonic time.
class SteadyLinkClock final : public LinkClock {
  public:
    int64_t nowMs() override;
};

}  // namespace ecu
