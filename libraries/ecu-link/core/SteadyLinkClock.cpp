#include "SteadyLinkClock.h"

#include <chrono>

namespace ecu {

int64_t SteadyLinkClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace ecu
