#pragma once

#include <cstdint>

// Times in milliseconds against ECU timer counts of `tick` nanoseconds (BaseTempi).
class TimeBase {
  public:
    // Rounded to the nearest count.
    static int32_t ToRaw(double ms, int32_t tick) {
        return static_cast<int32_t>(ms / (tick * 0.000001) + 0.5);
    }
    static double ToMs(int32_t raw, int32_t tick) { return raw * tick * 0.000001; }
    // The slow timer of the rows 40 and 41: counts of 5000 ticks.
    static int32_t ToSlowRaw(double ms, int32_t tick) {
        return static_cast<int32_t>(ms / (tick * 0.005) + 0.5);
    }
    static double FromSlowRaw(int32_t raw, int32_t tick) { return raw * tick * 0.005; }
};
