#pragma once

#include <QImage>
#include <QPolygonF>

// Draws polylines two pixels wide straight into an image's pixels. A zoomed-out trace is a
// zig-zag of thousands of tall segments; the painter's one-pixel lines walk them pixel by pixel
// through its span machinery, this stores each pixel directly, several times faster, so a
// redraw of ten traces stays within a frame.
class LineRaster {
  public:
    static constexpr int kDashOn = 6;  // pixels drawn, then left out, along a dashed line
    static constexpr int kDashOff = 4;

    // image: 32-bit, premultiplied or not; the polyline in the image's pixels, running left to
    // right as a trace against time does.
    static void Draw(QImage& image, const QPolygonF& polyline, QRgb colour, bool dashed);
};
