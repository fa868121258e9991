#include "NeedleGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

NeedleGeometry::NeedleGeometry(const QRect& frame)
    : centre_(frame.left() + frame.width() / 2, frame.top() + frame.height() / 2),
      radius_(static_cast<int>(frame.height() * 0.45)),
      length_(static_cast<int>(radius_ * 0.7)) {}

QPoint NeedleGeometry::Tip(int rpm) const {
    const double sweep =
        std::min(static_cast<double>(rpm) / kFullScaleRpm * kSweepDegrees, kSweepDegrees);
    const double angle = (225.0 - sweep) * std::numbers::pi / 180.0;
    return centre_ + QPoint(static_cast<int>(length_ * std::cos(angle)),
                            static_cast<int>(-length_ * std::sin(angle)));
}

QRect NeedleGeometry::Bounds(int rpm) const {
    const int margin = std::max(kPenWidth, kHubRadius) + 1;
    return QRect(centre_, Tip(rpm)).normalized().adjusted(-margin, -margin, margin, margin);
}
