#include "GraphData.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

void widen(std::optional<GraphData::YRange>& range, double value) {
    if (!range) {
        range = GraphData::YRange{value, value};
        return;
    }
    range->low = std::min(range->low, value);
    range->high = std::max(range->high, value);
}

}  // namespace

GraphData::GraphData(int traceCount)
    : values_(traceCount), shown_(traceCount, true), pyramids_(size_t(traceCount)) {}

void GraphData::reserve(int records) {
    seconds_.reserve(size_t(records));
    for (std::vector<double>& v : values_) v.reserve(size_t(records));
}

const GraphPyramid& GraphData::pyramid(int trace) const {
    if (stale_) {
        for (size_t t = 0; t < values_.size(); ++t) pyramids_[t].build(values_[t]);
        stale_ = false;
    }
    return pyramids_[size_t(trace)];
}

void GraphData::append(double seconds, const std::vector<double>& values) {
    if (values.size() != values_.size()) {
        throw std::invalid_argument("GraphData::append: one value per trace");
    }
    // Records normally arrive in time order; anything else is inserted after its equals.
    const auto at = std::upper_bound(seconds_.begin(), seconds_.end(), seconds);
    const auto index = at - seconds_.begin();
    seconds_.insert(at, seconds);
    for (size_t trace = 0; trace < values_.size(); ++trace) {
        values_[trace].insert(values_[trace].begin() + index, values[trace]);
    }
    stale_ = true;
}

std::optional<double> GraphData::firstTime() const {
    if (seconds_.empty()) return std::nullopt;
    return seconds_.front();
}

std::optional<double> GraphData::lastTime() const {
    if (seconds_.empty()) return std::nullopt;
    return seconds_.back();
}

void GraphData::setShown(int trace, bool shown) { shown_.at(trace) = shown; }

GraphData::Span GraphData::visible(double from, double to) const {
    const auto first = std::lower_bound(seconds_.begin(), seconds_.end(), from);
    const auto end = std::upper_bound(first, seconds_.end(), to);
    return {int(first - seconds_.begin()), int(end - seconds_.begin())};
}

// The index of the first record of each pixel column that holds any, then span.end. Each
// column's end is found by bisection, so a column of thousands of records costs a few steps.
std::vector<int> GraphData::columnStarts(Span span, double from, double to, int columns) const {
    columns = std::max(columns, 1);
    const double width = (to - from) / columns;
    auto columnOf = [&](double t) {
        if (!(width > 0)) return 0;
        return std::clamp(int(std::floor((t - from) / width)), 0, columns - 1);
    };
    std::vector<int> starts;
    const auto begin = seconds_.begin();
    for (int i = span.first; i < span.end;) {
        starts.push_back(i);
        const int column = columnOf(seconds_[size_t(i)]);
        i = int(std::partition_point(begin + i + 1, begin + span.end,
                                     [&](double t) { return columnOf(t) <= column; }) -
                begin);
    }
    starts.push_back(span.end);
    return starts;
}

QList<QPointF> GraphData::decimateTrace(int trace, Span span,
                                        const std::vector<int>& starts) const {
    const std::vector<double>& v = values_[trace];
    const GraphPyramid& extremes = pyramid(trace);
    QList<QPointF> points;
    points.reserve(int(starts.size()) * 4 + 2);
    auto add = [&](int i) { points.append(QPointF(seconds_[i], v[i])); };
    if (span.first > 0) add(span.first - 1);
    for (size_t column = 0; column + 1 < starts.size(); ++column) {
        const int begin = starts[column];
        const int last = starts[column + 1] - 1;
        const auto [low, high] = extremes.extremes(v, begin, last + 1);
        // In time order, each record once, so X stays ascending.
        int picks[] = {begin, std::min(low, high), std::max(low, high), last};
        for (int k = 0; k < 4; ++k) {
            if (k == 0 || picks[k] != picks[k - 1]) add(picks[k]);
        }
    }
    if (span.end < int(seconds_.size())) add(span.end);
    return points;
}

QList<QList<QPointF>> GraphData::decimate(double from, double to, int columns) const {
    const Span span = visible(from, to);
    const std::vector<int> starts = columnStarts(span, from, to, columns);
    QList<QList<QPointF>> traces(traceCount());
    for (int trace = 0; trace < traceCount(); ++trace) {
        if (shown_[trace]) traces[trace] = decimateTrace(trace, span, starts);
    }
    return traces;
}

// Where the straight line between two records crosses `edge`, it is part of what is seen.
void GraphData::widenAtEdge(int trace, double edge, std::optional<YRange>& range) const {
    const auto after = std::lower_bound(seconds_.begin(), seconds_.end(), edge);
    if (after == seconds_.begin() || after == seconds_.end()) return;
    const int i = int(after - seconds_.begin());
    const std::vector<double>& v = values_[trace];
    const double t0 = seconds_[i - 1];
    const double t1 = seconds_[i];
    widen(range, v[i - 1] + (v[i] - v[i - 1]) * (edge - t0) / (t1 - t0));
}

std::optional<GraphData::YRange> GraphData::yRange(double from, double to) const {
    const Span span = visible(from, to);
    std::optional<YRange> range;
    for (int trace = 0; trace < traceCount(); ++trace) {
        if (!shown_[trace]) continue;
        const std::vector<double>& v = values_[trace];
        if (span.first < span.end) {
            const auto [low, high] = pyramid(trace).extremes(v, span.first, span.end);
            widen(range, v[size_t(low)]);
            widen(range, v[size_t(high)]);
        }
        if (from <= to) {
            widenAtEdge(trace, from, range);
            widenAtEdge(trace, to, range);
        }
    }
    return range;
}
