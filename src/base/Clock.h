#pragma once

#include <QtGlobal>

// The one clock of the program. Every wait for the ECU goes through it: the real clock keeps
// the windows painted while it waits but holds user input back; tests install a virtual
// clock, so no test sleeps for real.
class Clock {
  public:
    virtual ~Clock() = default;

    // Milliseconds on a monotonic scale.
    virtual qint64 nowMs() const = 0;
    virtual void waitMs(int ms) = 0;

    // The clock in force: the system clock unless a test installed another.
    static Clock& current();
    // Installs a clock (nullptr restores the system clock); returns the previous one.
    static Clock* install(Clock* clock);
};

// Installs a clock for the lifetime of a scope.
class ScopedClock {
  public:
    explicit ScopedClock(Clock& clock) : previous_(Clock::install(&clock)) {}
    ~ScopedClock() { Clock::install(previous_); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

  private:
    Clock* previous_;
};
