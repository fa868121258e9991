#pragma once

#include <functional>
#include <vector>

#include "Clock.h"

// Virtual time. Installs itself for its lifetime. A wait advances the time at once and lets
// whoever follows the clock (a virtual ECU booting, a timer) catch up, so tests never sleep.
class VirtualClock final : public Clock {
  public:
    using Listener = std::function<void(qint64 nowMs)>;

    explicit VirtualClock(qint64 startMs = 0);
    ~VirtualClock() override;

    qint64 nowMs() const override { return now_; }
    void waitMs(int ms) override;

    // Moves time on without a wait of the program's (the user being slow, a timer period).
    void advance(qint64 ms);
    // Called after every move of the time, in the order added.
    void onAdvance(Listener listener) { listeners_.push_back(std::move(listener)); }
    qint64 waitedMs() const { return waited_; }

  private:
    Clock* previous_;
    qint64 now_;
    qint64 waited_ = 0;
    std::vector<Listener> listeners_;
};
