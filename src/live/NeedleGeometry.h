#pragma once

#include <QPoint>
#include <QRect>

// The rev counter's needle: from the centre of the dial frame, 0 rpm down-left, 3500 rpm
// straight up, 7000 rpm (full scale) down-right, sweeping 270 degrees clockwise.
class NeedleGeometry {
  public:
    static constexpr int kFullScaleRpm = 7000;
    static constexpr double kSweepDegrees = 270.0;
    static constexpr int kPenWidth = 5;
    static constexpr int kHubRadius = 5;

    // frame: the dial frame as laid out on the screen.
    explicit NeedleGeometry(const QRect& frame);

    QPoint Centre() const { return centre_; }
    int Radius() const { return radius_; }
    int Length() const { return length_; }
    // The tip for this speed; speeds above full scale stay at full scale.
    QPoint Tip(int rpm) const;
    // What a needle at this speed covers, pen and hub included.
    QRect Bounds(int rpm) const;

  private:
    QPoint centre_;
    int radius_;
    int length_;
};
