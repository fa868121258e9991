#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "EcuMemory.h"
#include "EngineModel.h"

namespace sim {

// Live data block 1 as the ECU builds it from the engine and from its own parameters: the
// changeover to gas happens when the reducer is warm enough (variable 15, a code of the gas
// sensor curve of variable 134) and the speed passes the threshold of variable 16 (bit 0:
// 0 = when rising past it, 1 = when falling past it; 0 rpm = at start).
class LiveData {
  public:
    static constexpr int kSize = 34;
    enum Status : uint8_t {
        kRunning = 0x01,
        kOpenLoop = 0x02,  // the mixture is not following the lambda probe
        kCutOff = 0x04,
        kOnGas = 0x10,
        kLambda1 = 0x20,
        kLambda2 = 0x40,
        kCalibrating = 0x80,
    };

    explicit LiveData(uint32_t seed) : noise_(seed) {}

    // Follows the engine for one step of the ECU's control loop.
    void follow(const EngineModel::State& engine, const EcuMemory& memory, int64_t sinceStartMs);
    std::vector<uint8_t> block(const EngineModel::State& engine, const EcuMemory& memory,
                               int64_t sinceStartMs, bool calibrating);
    bool onGas() const { return onGas_; }
    void restart() {
        onGas_ = false;
        lastRpm_ = 0;
    }

    static int reducerCode(const EngineModel::State& engine, const EcuMemory& memory);
    static int coolantCode(const EngineModel::State& engine, const EcuMemory& memory);

  private:
    int lambda(const EcuMemory& memory, double seconds, bool warm, bool cutOff) const;
    double gasMs(double petrolMs, double rpm, const EcuMemory& memory) const;

    std::mt19937 noise_;
    bool onGas_ = false;
    double lastRpm_ = 0;
};

}  // namespace sim
