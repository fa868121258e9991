#include "Clock.h"

#include "SystemClock.h"

namespace {
Clock* installed = nullptr;

Clock& systemClock() {
    static SystemClock clock;
    return clock;
}
}  // namespace

Clock& Clock::current() { return installed ? *installed : systemClock(); }

Clock* Clock::install(Clock* clock) {
    Clock* previous = installed;
    installed = clock;
    return previous;
}
