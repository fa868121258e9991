#pragma once

#include <QPointF>
#include <optional>
#include <vector>

#include "GraphModel.h"

// The XY view: each record of a recording is one point, the value of one trace across and of
// another up, both in their quantities' own units. Petrol time against gas time shows the
// carburation at a glance: on a good one the points lie along the diagonal.
class GraphXY {
  public:
    struct Axes {
        int x = 2;  // "T inj. gas"
        int y = 3;  // "T inj. benz."
        bool operator==(const Axes&) const = default;
    };
    struct Bounds {
        GraphModel::Range x;
        GraphModel::Range y;
    };

    // One point per record, in record order; none when the recording lacks either trace.
    static std::vector<QPointF> Points(const GraphModel& model, Axes axes);
    // What the point sets span, a little wider so no point sits on the frame; a flat side
    // gets room around it. Nothing when there is no point.
    static std::optional<Bounds> BoundsOf(const std::vector<const std::vector<QPointF>*>& sets);
    // The index of the point nearest to `at`, distances measured in pixels given each axis's
    // units per pixel; -1 for no point.
    static int Nearest(const std::vector<QPointF>& points, QPointF at, double xPerPixel,
                       double yPerPixel);
};
