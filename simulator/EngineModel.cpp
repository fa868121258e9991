#include "EngineModel.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace sim {

namespace {
struct Point {
    double s;
    double rpm;
    double load;
};
constexpr double kLoopStart = 5.0, kLoopLength = 60.0, kStartS = 2.0;
const Point kStart[] = {{0, 0, 0}, {1.5, 0, 0}, {2.0, 1300, 0.2}, {5.0, 850, 0.15}};
const Point kLoop[] = {{0, 850, 0.15},  {15, 850, 0.15}, {18, 3500, 0.7}, {20, 1000, 0},
                       {21, 850, 0.15}, {26, 850, 0.15}, {31, 2500, 0.5}, {51, 2500, 0.4},
                       {56, 900, 0},    {57, 850, 0.15}, {60, 850, 0.15}};

template <size_t N>
EngineModel::State follow(const Point (&points)[N], double s) {
    EngineModel::State state;
    for (size_t i = 1; i < N; ++i) {
        if (s > points[i].s && i + 1 < N) continue;
        const Point& a = points[i - 1];
        const Point& b = points[i];
        const double f = std::clamp((s - a.s) / (b.s - a.s), 0.0, 1.0);
        state.rpm = a.rpm + f * (b.rpm - a.rpm);
        state.load = a.load + f * (b.load - a.load);
        state.decelerating = b.rpm < a.rpm && b.load == 0;
        return state;
    }
    return state;
}
}  // namespace

EngineModel::State EngineModel::scripted(int64_t ms) const {
    const double s = ms / 1000.0;
    State state =
        s < kLoopStart ? follow(kStart, s) : follow(kLoop, std::fmod(s - kLoopStart, kLoopLength));
    // A running engine never turns quite evenly.
    if (state.rpm > 0) state.rpm += 12 * std::sin(s * 2.3);
    return state;
}

EngineModel::State EngineModel::at(int64_t ms) const {
    State state = scripted(ms);
    if (hold_) {
        const double s = (ms - hold_->fromMs) / 1000.0;
        const double step = std::max(0.0, s) * 1000.0;  // 1000 rpm per second
        const double gap = hold_->rpm - hold_->fromRpm;
        state.rpm = hold_->fromRpm + std::clamp(gap, -step, step) + 8 * std::sin(s * 3.1);
        state.load = 0.25;
        state.decelerating = false;
    }
    state.running = state.rpm > 300;
    const double runS = std::max(0.0, ms / 1000.0 - kStartS);
    state.coolantC = ambientC_ + (88 - ambientC_) * (1 - std::exp(-runS / 240));
    state.reducerC = ambientC_ + (75 - ambientC_) * (1 - std::exp(-runS / 150));
    return state;
}

void EngineModel::holdSpeed(int64_t fromMs, double rpm) {
    hold_ = Hold{fromMs, scripted(fromMs).rpm, rpm};
}

}  // namespace sim
