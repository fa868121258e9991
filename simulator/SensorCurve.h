#pragma once

#include <vector>

namespace sim {

// A temperature sensor as the ECU reads it: one 8-bit code per breakpoint, codes falling as
// the temperature rises, linear in between.
class SensorCurve {
  public:
    SensorCurve(double startC, double stepC, std::vector<int> codes);

    // The ECU's gas-temperature sensors, types 0..2 (others read as type 0).
    static SensorCurve gasSensor(int type);

    int codeOf(double celsius) const;
    double celsiusOf(int code) const;
    bool valid() const { return codes_.size() >= 2 && step_ > 0; }

  private:
    static SensorCurve divider(double startC, double a, double b, const std::vector<double>& r);

    double start_;
    double step_;
    std::vector<int> codes_;
};

}  // namespace sim
