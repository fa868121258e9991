#pragma once

#include <QList>
#include <QPointF>
#include <optional>
#include <vector>

#include "GraphPyramid.h"

// The points behind the acquisition graph. All records of a recording stay in memory as one
// sorted time array with one value array per trace; the plot gets, for each pixel column of the
// visible time range, only the first, lowest, highest and last record of each shown trace, so a
// long recording redraws fast and no peak is lost. The lowest and highest come from a min/max
// pyramid per trace, built once after the records arrive.
class GraphData {
  public:
    struct YRange {
        double low = 0;
        double high = 0;
    };

    explicit GraphData(int traceCount);

    // One record: its time (seconds) and one value per trace, as many as there are traces.
    // A record earlier than the last one is put in its place, so the arrays stay sorted.
    void append(double seconds, const std::vector<double>& values);
    void reserve(int records);

    int traceCount() const { return int(values_.size()); }
    int recordCount() const { return int(seconds_.size()); }
    std::optional<double> firstTime() const;
    std::optional<double> lastTime() const;

    // A hidden trace is neither drawn nor counted in the Y range.
    void setShown(int trace, bool shown);
    bool isShown(int trace) const { return shown_.at(trace); }

    // Per trace, in time order, the points to draw for [from, to] on `columns` pixel columns:
    // up to four records per column plus the nearest record on each side of the range, so the
    // line runs on to the edges. A hidden trace gets no points.
    QList<QList<QPointF>> decimate(double from, double to, int columns) const;

    // The values the shown traces reach inside [from, to], including where their lines cross
    // the two edges; nothing when no shown line passes through the range.
    std::optional<YRange> yRange(double from, double to) const;

  private:
    struct Span {
        int first = 0;  // first record at or after the start of the range
        int end = 0;    // one past the last record at or before its end
    };

    Span visible(double from, double to) const;
    std::vector<int> columnStarts(Span span, double from, double to, int columns) const;
    QList<QPointF> decimateTrace(int trace, Span span, const std::vector<int>& starts) const;
    void widenAtEdge(int trace, double edge, std::optional<YRange>& range) const;

    const GraphPyramid& pyramid(int trace) const;

    std::vector<double> seconds_;
    std::vector<std::vector<double>> values_;
    std::vector<bool> shown_;
    // Built at the first question after the records changed.
    mutable std::vector<GraphPyramid> pyramids_;
    mutable bool stale_ = true;
};
