#include "SensorCurve.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
// Thermistor resistance ratios (type 0, 1) and resistances in ohms (type 2), 5 degrees apart.
const std::vector<double> kType0 = {
    97.578,  67.65,  47.538,  33.831,  24.359,  17.753,  13.067,  9.7228,  7.3006,  5.5361,
    4.2332,  3.266,  2.5392,  1.9902,  1.5709,  1.2492,  1,       0.805,   0.65326, 0.5329,
    0.4371,  0.36,   0.299,   0.2493,  0.2088,  0.1757,  0.148,   0.1262,  0.1076,  0.09215,
    0.07922, 0.0683, 0.05924, 0.05153, 0.04492, 0.0392,  0.0343,  0.03018, 0.02665, 0.023594,
    0.0209,  0.0186, 0.0166,  0.01486, 0.01332, 0.01198, 0.01079, 0.00974};
const std::vector<double> kType1 = {4.56,  3.78,  3.01,  2.41,  1.92,  1.54,  1.25,  1,     0.856,
                                    0.687, 0.582, 0.493, 0.41,  0.345, 0.295, 0.254, 0.217, 0.183,
                                    0.159, 0.138, 0.12,  0.105, 0.091, 0.082, 0.071, 0.062, 0.055};
const std::vector<double> kType2 = {
    48153,  35763,  26855,  20376,  15614,  12078,  9426,   7419,   5886.7, 4706.9, 3791.1, 3074.9,
    2510.6, 2062.9, 1715.4, 1431.8, 1199.6, 1008.6, 851.1,  720.65, 612.27, 521.91, 446.33, 382.89,
    329.48, 284.06, 246.15, 213.68, 186,    162.35, 142.08, 124.66, 109.65, 96.68,  85.45};
}  // namespace

SensorCurve::SensorCurve(double startC, double stepC, std::vector<int> codes)
    : start_(startC), step_(stepC), codes_(std::move(codes)) {}

SensorCurve SensorCurve::divider(double startC, double a, double b, const std::vector<double>& r) {
    std::vector<int> codes;
    for (double x : r) codes.push_back(static_cast<int>(a * 255.0 * x / (x * a + b)));
    return SensorCurve(startC, 5, std::move(codes));
}

SensorCurve SensorCurve::gasSensor(int type) {
    if (type == 1) return divider(-10, 1000, 1000, kType1);
    if (type == 2) return divider(-40, 1, 2200, kType2);
    return divider(-55, 4700, 4700, kType0);
}

int SensorCurve::codeOf(double celsius) const {
    if (!valid()) return 0;
    const double position = (celsius - start_) / step_;
    const int last = static_cast<int>(codes_.size()) - 1;
    const int i = std::clamp(static_cast<int>(std::floor(position)), 0, last - 1);
    const double code = codes_[i] + (position - i) * (codes_[i + 1] - codes_[i]);
    return std::clamp(static_cast<int>(std::lround(code)), 0, 255);
}

double SensorCurve::celsiusOf(int code) const {
    if (!valid()) return 0;
    const int last = static_cast<int>(codes_.size()) - 1;
    int i = 1;
    while (i < last && codes_[i] > code) ++i;
    const int span = codes_[i - 1] - codes_[i];
    const double fraction = span == 0 ? 0.5 : double(codes_[i - 1] - code) / span;
    return start_ + (i - 1 + fraction) * step_;
}

}  // namespace sim
