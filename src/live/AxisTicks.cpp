#include "AxisTicks.h"

#include <algorithm>
#include <cmath>

namespace {
// A tick exactly on an end counts, though the division may land a hair beside it.
constexpr double kSlack = 1e-9;
}  // namespace

double AxisTicks::Step(double low, double high, int most) {
    const double span = high - low;
    if (!(span > 0) || !std::isfinite(span)) return 0;
    most = std::max(most, 1);
    // The rough step span / most lies between power and 10 x power; a step just under it can
    // still fit, so the search starts a decade lower.
    double power = std::pow(10.0, std::floor(std::log10(span / most)) - 1);
    for (;;) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * power;
            const double first = std::ceil(low / step - kSlack);
            const double last = std::floor(high / step + kSlack);
            if (last - first + 1 <= most) return step;
        }
        power *= 10;
    }
}

std::vector<double> AxisTicks::Values(double low, double high, int most) {
    const double step = Step(low, high, most);
    if (step == 0) return {};
    std::vector<double> ticks;
    const long long first = std::llround(std::ceil(low / step - kSlack));
    const long long last = std::llround(std::floor(high / step + kSlack));
    for (long long k = first; k <= last; ++k) ticks.push_back(double(k) * step);
    return ticks;
}

int AxisTicks::Decimals(double step) {
    if (!(step > 0)) return 0;
    return std::max(0, int(-std::floor(std::log10(step) + kSlack)));
}
