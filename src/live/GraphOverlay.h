#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <memory>
#include <optional>

#include "GraphModel.h"

// A second recording laid over the first to compare two drives: its start falls on the first
// one's start, then an offset chosen by the technician moves it along the time axis. Its
// points are drawn at their own times plus that shift; the cursor reads it at the time under
// the mouse minus the shift.
class GraphOverlay {
  public:
    // mainStart: the time of the first recording's first record, in seconds.
    GraphOverlay(std::unique_ptr<GraphModel> model, QString name, double mainStart);

    GraphModel& Model() { return *model_; }
    const GraphModel& Model() const { return *model_; }
    const QString& Name() const { return name_; }

    double Offset() const { return offset_; }
    void SetOffset(double seconds) { offset_ = seconds; }
    void ShiftBy(double seconds) { offset_ += seconds; }
    // What is added to this recording's own times to place it on the first one's axis.
    double Shift() const { return mainStart_ - model_->Start() + offset_; }

    // Per trace, the points to draw over a range of the first recording's axis.
    QList<QList<QPointF>> Points(GraphModel::Range visible, int columns) const;
    // What its shown traces reach over that range.
    std::optional<GraphData::YRange> ValuesIn(GraphModel::Range visible) const;
    // Its reading at a time of the first recording's axis; the reading's time is its own.
    std::optional<GraphModel::Reading> ReadingAt(double seconds) const;

  private:
    GraphModel::Range own(GraphModel::Range visible) const;

    std::unique_ptr<GraphModel> model_;
    QString name_;
    double mainStart_;
    double offset_ = 0;
};
