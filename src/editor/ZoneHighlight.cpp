#include "ZoneHighlight.h"

#include "LoadZones.h"

bool ZoneHighlight::Update(int speed, double petrolMs) {
    if (speed == lastSpeed_ && petrolMs == lastTime_ && unchanged_++ < kUnchangedLimit)
        return false;
    lastSpeed_ = speed;
    lastTime_ = petrolMs;
    unchanged_ = 0;
    const int column = LoadZones::IntervalOf(speed, speed_);
    const int row = LoadZones::IntervalOf(petrolMs, time_);
    const int part = LoadZones::PartOf(row, column);
    if (part >= 0) current_ = {part / 4, part % 4};
    return true;
}
