#include "NumericRules.h"

#include <cmath>

#include "NumericText.h"

namespace {
// Decimal halves such as 0.15 on a step of 0.1 are not exact in binary; this slack (relative to
// the step) lets them go up as they read.
constexpr double kTieSlack = 1e-9;
}  // namespace

bool NumericRules::LimitsActive() const {
    return !disableLimit && (minValue != 0 || maxValue != 0);
}

bool NumericRules::BothLimitsSet() const { return !disableLimit && minValue != 0 && maxValue != 0; }

std::optional<double> NumericRules::ViolatedLimit(double x) const {
    if (!LimitsActive()) return std::nullopt;
    if (x < minValue) return minValue;
    if (x > maxValue) return maxValue;
    return std::nullopt;
}

double NumericRules::Clamp(double x) const {
    if (!LimitsActive()) return x;
    if (x > maxValue) return maxValue;
    if (x < minValue) return minValue;
    return x;
}

double NumericRules::Step() const { return std::fabs(precision); }

double NumericRules::RoundToPrecision(double x) const {
    const double step = Step();
    if (step == 0 || !std::isfinite(x)) return x;
    const double steps = x / step;
    if (!std::isfinite(steps)) return x;
    const double below = step * std::floor(steps);
    const double above = step * std::ceil(steps);
    const bool up = (x - below) >= (above - x) - step * kTieSlack;
    return NumericText::Snap(up ? above : below);
}

double NumericRules::KeepInside(double rounded, double clamped) const {
    if (!LimitsActive()) return rounded;
    const double step = Step();
    // A limit that is not a multiple of the step: fall back on the last multiple inside it.
    if (rounded > maxValue) {
        const double inside = NumericText::Snap(step * std::floor(maxValue / step + kTieSlack));
        return inside >= minValue ? inside : clamped;
    }
    if (rounded < minValue) {
        const double inside = NumericText::Snap(step * std::ceil(minValue / step - kTieSlack));
        return inside <= maxValue ? inside : clamped;
    }
    return rounded;
}

double NumericRules::Normalise(double x) const {
    const double clamped = Clamp(x);
    return KeepInside(RoundToPrecision(clamped), clamped);
}

double NumericRules::GetLimit(int index) const {
    if (index == kUpper) return maxValue;
    if (index == kLower) return minValue;
    return 0;
}

bool NumericRules::SetLimit(int index, double x) {
    if (index == kUpper && x >= minValue) {
        maxValue = x;
        return true;
    }
    if (index == kLower && x <= maxValue) {
        minValue = x;
        return true;
    }
    return false;
}

bool NumericRules::StepIsFractional() const {
    return std::isfinite(precision) && precision != std::trunc(precision);
}

bool NumericRules::Accepts(QChar c, const Typing& typing) const {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return true;
    if (NumericText::DecimalSeparator() == QString(c)) return AcceptsSeparator(typing);
    if (c == QLatin1Char('-')) return AcceptsMinus(typing);
    return false;
}

bool NumericRules::AcceptsSeparator(const Typing& typing) const {
    const QString separator = NumericText::DecimalSeparator();
    return StepIsFractional() &&
           (!typing.text.contains(separator) || typing.selected.contains(separator));
}

bool NumericRules::AcceptsMinus(const Typing& typing) const {
    const QLatin1Char minus('-');
    const bool negativeAllowed = disableLimit || minValue < 0 || (minValue == 0 && maxValue == 0);
    return typing.insertAt == 0 && negativeAllowed &&
           (!typing.text.contains(minus) || typing.selected.contains(minus));
}
