#include "VirtualClock.h"

#include <QCoreApplication>

VirtualClock::VirtualClock(qint64 startMs) : previous_(Clock::install(this)), now_(startMs) {}

VirtualClock::~VirtualClock() { Clock::install(previous_); }

void VirtualClock::waitMs(int ms) {
    if (ms <= 0) return;
    waited_ += ms;
    advance(ms);
    // Posted events (progress, repaints) are delivered as a real wait would deliver them.
    if (QCoreApplication::instance()) QCoreApplication::sendPostedEvents();
}

void VirtualClock::advance(qint64 ms) {
    now_ += ms;
    for (const Listener& listener : listeners_) listener(now_);
}
