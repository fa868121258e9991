#pragma once

#include <vector>

// Which correction field follows the engine on the carburation tab: the part of the K map
// the engine runs in, re-evaluated when the speed or the petrol time moves, and every 51st
// refresh while they stand still.
class ZoneHighlight {
  public:
    static constexpr int kUnchangedLimit = 50;

    struct Part {
        int zone = 0;
        int columnClass = 0;
        bool operator==(const Part&) const = default;
    };

    // The boundaries of the map in use (see LoadZones).
    void SetBoundaries(std::vector<int> speed, std::vector<double> time) {
        speed_ = std::move(speed);
        time_ = std::move(time);
    }
    // One refresh; true when the part was re-evaluated (Current() then holds it).
    bool Update(int speed, double petrolMs);
    Part Current() const { return current_; }

  private:
    std::vector<int> speed_{0, 1000};
    std::vector<double> time_{0, 2.5};
    Part current_;
    int lastSpeed_ = 0;
    double lastTime_ = 0;
    int unchanged_ = kUnchangedLimit;  // the first refresh always evaluates
};
