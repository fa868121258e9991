#pragma once

#include <cstdint>

#include "EngineModel.h"

namespace sim {

// The ECU's automatic calibration: steps 0 and 1 check the installation (and report the
// error bits asked for), step 2 waits until the engine holds the target speed for a second,
// steps 3 to 9 measure, 10 verifies, 11 prepares the result, 12 waits for command 18.
class CalibrationProcess {
  public:
    static constexpr int kDone = 12;

    void start(int64_t nowMs, uint8_t errorBits);
    void abort() {
        running_ = false;
        step_ = 0;
        errors_ = 0;
    }
    // Follows the engine; asks it to hold targetRpm while the calibration needs it.
    void follow(int64_t nowMs, EngineModel& engine, double targetRpm);

    bool running() const { return running_; }
    bool done() const { return running_ && step_ == kDone; }
    int step() const { return step_; }
    uint8_t errors() const { return errors_; }

  private:
    void enter(int step, int64_t nowMs);

    bool running_ = false;
    int step_ = 0;
    uint8_t errors_ = 0;
    uint8_t pendingErrors_ = 0;
    int64_t stepStartMs_ = 0;
    int64_t steadySinceMs_ = -1;
};

}  // namespace sim
