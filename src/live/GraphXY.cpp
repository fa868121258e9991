#include "GraphXY.h"

#include <algorithm>
#include <limits>

#include "GraphTraces.h"

namespace {
constexpr double kPadding = 0.02;    // of each side's span
constexpr double kFlatMargin = 0.5;  // around a flat side

bool carries(const GraphModel& model, int trace) {
    return trace >= 0 && trace < model.TraceCount() && model.HasPoints(trace);
}

GraphModel::Range widened(double low, double high) {
    if (!(high > low)) return {low - kFlatMargin, high + kFlatMargin};
    const double pad = (high - low) * kPadding;
    return {low - pad, high + pad};
}
}  // namespace

std::vector<QPointF> GraphXY::Points(const GraphModel& model, Axes axes) {
    if (!carries(model, axes.x) || !carries(model, axes.y)) return {};
    const auto& x = GraphTraces::All()[size_t(axes.x)];
    const auto& y = GraphTraces::All()[size_t(axes.y)];
    std::vector<QPointF> points;
    points.reserve(model.Records().size());
    for (const AcquisitionRecord& r : model.Records()) points.emplace_back(x.reading(r), y.reading(r));
    return points;
}

std::optional<GraphXY::Bounds> GraphXY::BoundsOf(
    const std::vector<const std::vector<QPointF>*>& sets) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    double left = inf, right = -inf, bottom = inf, top = -inf;
    for (const std::vector<QPointF>* set : sets) {
        for (const QPointF& p : *set) {
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            bottom = std::min(bottom, p.y());
            top = std::max(top, p.y());
        }
    }
    if (left == inf) return std::nullopt;
    return Bounds{widened(left, right), widened(bottom, top)};
}

int GraphXY::Nearest(const std::vector<QPointF>& points, QPointF at, double xPerPixel,
                     double yPerPixel) {
    int best = -1;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < points.size(); ++i) {
        const double dx = (points[i].x() - at.x()) / xPerPixel;
        const double dy = (points[i].y() - at.y()) / yPerPixel;
        const double distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return best;
}
