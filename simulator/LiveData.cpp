#include "LiveData.h"

#include <algorithm>
#include <cmath>

#include "SensorCurve.h"

namespace sim {

namespace {
using T = EcuVariableTable;

void put16(std::vector<uint8_t>& out, int at, int32_t value) {
    out[at] = static_cast<uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

uint8_t byte(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

bool cutOff(const EngineModel::State& engine) { return engine.decelerating && engine.rpm > 1400; }

double petrolMs(const EngineModel::State& engine, double seconds) {
    if (!engine.running || cutOff(engine)) return 0;
    return 2.2 + 9.0 * engine.load + 0.05 * std::sin(seconds * 5.3);
}

int32_t ticksOf(double ms, const EcuMemory& memory) {
    const double tick = std::max(1, memory.value(T::kTick)) * 0.000001;
    return static_cast<int32_t>(std::clamp(std::lround(ms / tick), 0L, 65535L));
}
}  // namespace

int LiveData::reducerCode(const EngineModel::State& engine, const EcuMemory& memory) {
    return SensorCurve::gasSensor(memory.value(T::kGasSensorType)).codeOf(engine.reducerC);
}

int LiveData::coolantCode(const EngineModel::State& engine, const EcuMemory& memory) {
    // Option 10 (Flag2 bit 2): the car's own sensor, described by variables 138 and 139.
    if ((memory.value(T::kFlags, 1) & 0x0004) == 0)
        return SensorCurve::gasSensor(0).codeOf(engine.coolantC);
    const int points = std::clamp(memory.value(T::kEngineCurveParams, 4), 2, 30);
    const auto& all = memory.values(T::kEngineCurveCodes);
    std::vector<int> codes(all.begin(), all.begin() + points);
    const SensorCurve curve(memory.value(T::kEngineCurveParams, 3),
                            std::max(1, memory.value(T::kEngineCurveParams, 2)), codes);
    return curve.codeOf(engine.coolantC);
}

void LiveData::follow(const EngineModel::State& engine, const EcuMemory& memory, int64_t) {
    if (!engine.running) {
        onGas_ = false;
        lastRpm_ = engine.rpm;
        return;
    }
    const bool warm = reducerCode(engine, memory) <= memory.value(T::kChangeoverTemp);
    const int32_t speed = memory.value(T::kChangeoverSpeed);
    const int threshold = speed & ~1;
    const bool falling = (speed & 1) != 0;
    if (!onGas_ && warm) {
        if (threshold == 0)
            onGas_ = true;
        else if (!falling && engine.rpm >= threshold)
            onGas_ = true;
        else if (falling && lastRpm_ > threshold && engine.rpm <= threshold)
            onGas_ = true;
    }
    lastRpm_ = engine.rpm;
}

int LiveData::lambda(const EcuMemory& memory, double seconds, bool warm, bool cut) const {
    const int type = memory.value(T::kLambdaType) & ~0x40;
    int low = 5, high = 41;  // 0.1 .. 0.8 V
    if (type == 40 || type == 25 || type == 136) low = 25, high = 230;
    if (type == 4) low = 46, high = 77;
    const bool inverted = (type & 1) != 0;
    const int ref = memory.value(T::kLambdaRef);
    int swing = std::min(ref - low, high - ref);
    if (swing < 4) swing = 10;
    const int lean = inverted ? ref + swing : ref - swing;
    if (!warm) return inverted ? high : low;
    if (cut) return std::clamp(lean, 0, 255);
    // The closed loop keeps the mixture switching rich and lean around the reference.
    return std::clamp(
        static_cast<int>(std::lround(ref + swing * std::tanh(3 * std::sin(seconds * 5.2)))), 0,
        255);
}

double LiveData::gasMs(double petrol, double rpm, const EcuMemory& memory) const {
    const auto& times = memory.values(T::kKTimes);
    const auto& speeds = memory.values(T::kKSpeeds);
    const int petrolTicks = ticksOf(petrol, memory);
    int row = 0, column = 0;
    while (row + 1 < static_cast<int>(times.size()) && petrolTicks >= times[row + 1]) ++row;
    while (column + 1 < static_cast<int>(speeds.size()) && rpm >= speeds[column]) ++column;
    const auto* map = memory.table().find(T::kKMap);
    const int k = memory.value(T::kKMap, row * map->rowLength + column);
    return petrol * k / 100.0;
}

std::vector<uint8_t> LiveData::block(const EngineModel::State& engine, const EcuMemory& memory,
                                     int64_t sinceStartMs, bool calibrating) {
    const double s = sinceStartMs / 1000.0;
    const bool cut = cutOff(engine);
    const bool probeWarm = engine.running && s > 2.0 + 5.0 * memory.value(T::kProbeWarmUp);
    const bool twoProbes = (memory.value(T::kFlags, 0) & 0x0004) == 0;
    const double petrol = petrolMs(engine, s);
    const double gas = onGas_ && !cut ? gasMs(petrol, engine.rpm, memory) : 0;
    std::uniform_int_distribution<int> pressureNoise(-25, 25);

    std::vector<uint8_t> out(kSize, 0);
    put16(out, 0, static_cast<int32_t>(std::lround(std::max(0.0, engine.rpm))));
    out[2] = static_cast<uint8_t>(lambda(memory, s, probeWarm, cut));
    out[3] = byte(((0.30 + 0.65 * engine.load) * 100 - 10) * 1.02);
    put16(out, 4, engine.running ? 13900 : 12300);  // battery, mV
    put16(out, 6, ticksOf(gas, memory));
    put16(out, 8, ticksOf(petrol, memory));
    out[10] = static_cast<uint8_t>(static_cast<int8_t>(10 + 20 * engine.load));  // advance
    uint8_t status = 0;
    if (engine.running) status |= kRunning;
    if (engine.running && (!probeWarm || cut)) status |= kOpenLoop;
    if (cut) status |= kCutOff;
    if (onGas_) status |= kOnGas;
    if (probeWarm && !cut) status |= kLambda1;
    if (probeWarm && !cut && twoProbes) status |= kLambda2;
    if (calibrating) status |= kCalibrating;
    out[11] = status;
    out[12] = static_cast<uint8_t>(reducerCode(engine, memory));
    const int pressure = engine.running ? 1000 + static_cast<int>(120 * engine.load) : 0;
    put16(out, 14, pressure + (engine.running ? pressureNoise(noise_) : 0));
    out[16] = static_cast<uint8_t>(coolantCode(engine, memory));
    out[21] = static_cast<uint8_t>(lambda(memory, s + 0.4, probeWarm, cut));
    put16(out, 24, ticksOf(gas * 1.02, memory));
    put16(out, 28, ticksOf(petrol * 1.02, memory));
    return out;
}

}  // namespace sim
