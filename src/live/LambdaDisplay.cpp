#include "LambdaDisplay.h"

#include <algorithm>

namespace {
struct Scale {
    int position;
    double minimum;
    double maximum;
};
// Every other position (0 - 1 Volt, UEGO, unknown codes) reads 0 to 1 V.
constexpr Scale kScales[] = {{1, 0.0, 5.0}, {2, 5.0, 0.0}, {3, 0.8, 1.6}};
}  // namespace

LambdaDisplay::LambdaDisplay(int position, bool inverted, double reference)
    : inverted_(inverted), reference_(reference) {
    for (const Scale& s : kScales) {
        if (s.position == position) {
            minimum_ = s.minimum;
            maximum_ = s.maximum;
        }
    }
}

int LambdaDisplay::BarWidth(double volts, int full) const {
    const int width = static_cast<int>((volts - minimum_) * full / (maximum_ - minimum_));
    return std::clamp(width, 0, std::max(full, 0));
}

LambdaDisplay::Shade LambdaDisplay::ShadeOf(double volts, bool statusOn) const {
    if (!statusOn) return Shade::ButtonFace;
    const bool green = inverted_ ? volts > reference_ : volts < reference_;
    return green ? Shade::Green : Shade::Red;
}
