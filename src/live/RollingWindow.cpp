#include "RollingWindow.h"

#include <algorithm>
#include <cmath>

#include "AxisTicks.h"

namespace {
constexpr int kTopSteps = 5;
}  // namespace

int RollingWindow::GraphTrace(int trace) {
    static constexpr std::array<int, kTraces> graph = {0, 1, 7, 2, 3};
    return graph.at(size_t(trace));
}

std::array<double, RollingWindow::kTraces> RollingWindow::ValuesOf(const LiveValues& v) {
    return {v.rpm * 0.001, v.lambda1, v.lambda2, v.gasMs1, v.petrolMs1};
}

void RollingWindow::Add(qint64 ms, const std::array<double, kTraces>& values) {
    if (!samples_.empty() && ms < samples_.back().ms) samples_.clear();
    samples_.push_back({ms, values});
    while (samples_.front().ms < ms - kSpanMs) samples_.pop_front();
}

QList<QPointF> RollingWindow::Points(int trace) const {
    QList<QPointF> points;
    if (samples_.empty()) return points;
    points.reserve(qsizetype(samples_.size()));
    const qint64 newest = samples_.back().ms;
    for (const Sample& s : samples_)
        points.append(QPointF((s.ms - newest) * 0.001, s.values[size_t(trace)]));
    return points;
}

double RollingWindow::Top() const {
    double high = 0;
    for (const Sample& s : samples_) {
        for (const double v : s.values) high = std::max(high, v);
    }
    if (!(high > 0)) return 1;
    const double step = AxisTicks::Step(0, high, kTopSteps);
    return std::ceil(high / step - 1e-9) * step;
}
