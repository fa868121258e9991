#include "ProgressCounter.h"

#include <algorithm>

void ProgressCounter::Apply(int value, bool increment) {
    const long long next = increment ? static_cast<long long>(position_) + value : value;
    position_ = static_cast<int>(std::clamp<long long>(next, 0, kMaximum));
}

QString ProgressCounter::Text() const {
    return QString::number(position_) + QStringLiteral("% ") + suffix_;
}
