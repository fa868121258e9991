#include "CalibrationProcess.h"

#include <cmath>

namespace sim {

void CalibrationProcess::start(int64_t nowMs, uint8_t errorBits) {
    running_ = true;
    errors_ = 0;
    pendingErrors_ = errorBits;
    enter(0, nowMs);
}

void CalibrationProcess::enter(int step, int64_t nowMs) {
    step_ = step;
    stepStartMs_ = nowMs;
    steadySinceMs_ = -1;
}

void CalibrationProcess::follow(int64_t nowMs, EngineModel& engine, double targetRpm) {
    if (!running_ || errors_ != 0) {
        if (engine.holding()) engine.release();
        return;
    }
    const int64_t inStep = nowMs - stepStartMs_;
    switch (step_) {
        case 0:
            if (inStep >= 1000) enter(1, nowMs);
            break;
        case 1:
            if (inStep < 1000) break;
            if (pendingErrors_ != 0) {
                errors_ = pendingErrors_;  // the ECU stops and reports what is missing
                break;
            }
            engine.holdSpeed(nowMs, targetRpm);
            enter(2, nowMs);
            break;
        case 2:
            if (std::abs(engine.at(nowMs).rpm - targetRpm) > 100)
                steadySinceMs_ = -1;
            else if (steadySinceMs_ < 0)
                steadySinceMs_ = nowMs;
            else if (nowMs - steadySinceMs_ >= 1000)
                enter(3, nowMs);
            break;
        case 10:
            if (inStep >= 1500) enter(11, nowMs);
            break;
        case kDone:
            engine.release();
            break;
        default:
            if (inStep >= 1000) enter(step_ + 1, nowMs);
            break;
    }
}

}  // namespace sim
