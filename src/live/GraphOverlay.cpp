#include "GraphOverlay.h"

GraphOverlay::GraphOverlay(std::unique_ptr<GraphModel> model, QString name, double mainStart)
    : model_(std::move(model)), name_(std::move(name)), mainStart_(mainStart) {}

GraphModel::Range GraphOverlay::own(GraphModel::Range visible) const {
    const double shift = Shift();
    return {visible.from - shift, visible.to - shift};
}

QList<QList<QPointF>> GraphOverlay::Points(GraphModel::Range visible, int columns) const {
    QList<QList<QPointF>> traces = model_->PointsIn(own(visible), columns);
    const double shift = Shift();
    for (QList<QPointF>& points : traces) {
        for (QPointF& p : points) p.setX(p.x() + shift);
    }
    return traces;
}

std::optional<GraphData::YRange> GraphOverlay::ValuesIn(GraphModel::Range visible) const {
    return model_->ValuesIn(own(visible));
}

std::optional<GraphModel::Reading> GraphOverlay::ReadingAt(double seconds) const {
    return model_->ReadingAt(seconds - Shift());
}
