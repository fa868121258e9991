#pragma once

#include <cstdint>
#include <optional>

namespace sim {

// What the car does, on a repeatable script from the moment the ECU powers up: key on, start,
// idle, a blip to 3500 rpm, idle, a cruise at 2500 rpm, deceleration, and again, every 60 s.
// The coolant and the reducer warm up while the engine runs. The calibration may ask the
// technician to hold a speed in neutral; the car then goes there and stays.
class EngineModel {
  public:
    struct State {
        double rpm = 0;
        double load = 0;  // 0..1
        bool running = false;
        bool decelerating = false;
        double coolantC = 0;
        double reducerC = 0;
    };

    explicit EngineModel(double ambientC) : ambientC_(ambientC) {}

    State at(int64_t ms) const;
    void holdSpeed(int64_t fromMs, double rpm);
    void release() { hold_.reset(); }
    bool holding() const { return hold_.has_value(); }

  private:
    struct Hold {
        int64_t fromMs;
        double fromRpm;
        double rpm;
    };
    State scripted(int64_t ms) const;

    double ambientC_;
    std::optional<Hold> hold_;
};

}  // namespace sim
