#include "LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Liang-Barsky: the part of the segment inside [0, w) x [0, h); false when none is.
bool clip(double& x0, double& y0, double& x1, double& y1, double w, double h) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0, w - 1 - x0, y0, h - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

struct Canvas {
    uchar* bits;  // the first row; found once, as each scanLine() asks whether to detach
    qsizetype stride;
    QRgb colour;
    int w;
    int h;

    // Two pixels wide, rows top to bottom + 1.
    void column(int x, int top, int bottom) {
        const bool both = x + 1 < w;
        uchar* row = bits + top * stride;
        for (int y = top; y <= std::min(bottom + 1, h - 1); ++y, row += stride) {
            auto* line = reinterpret_cast<QRgb*>(row);
            line[x] = colour;
            if (both) line[x + 1] = colour;
        }
    }
    void stamp(int x, int y) { column(x, y, y); }
};

// A line running left to right touches, in each pixel column, one run of rows: gathered
// first, each column is then written once, however often the zig-zag crosses it.
struct Runs {
    Canvas& canvas;
    int x = -1;
    int top = 0;
    int bottom = 0;

    void add(int px, int py) {
        if (px != x) {
            flush();
            x = px;
            top = bottom = py;
            return;
        }
        top = std::min(top, py);
        bottom = std::max(bottom, py);
    }
    void flush() {
        if (x >= 0) canvas.column(x, top, bottom);
        x = -1;
    }
};

void drawSolid(Canvas& canvas, const QPolygonF& polyline) {
    Runs runs{canvas};
    for (qsizetype i = 0; i + 1 < polyline.size(); ++i) {
        double x0 = polyline[i].x(), y0 = polyline[i].y();
        double x1 = polyline[i + 1].x(), y1 = polyline[i + 1].y();
        if (!clip(x0, y0, x1, y1, canvas.w, canvas.h)) continue;
        const int ax = int(x0), ay = int(y0), bx = int(x1), by = int(y1);
        if (ax == bx) {  // the usual case of a dense trace: up or down inside one column
            runs.add(ax, ay);
            runs.add(bx, by);
            continue;
        }
        const int steps = std::max(std::abs(bx - ax), std::abs(by - ay));
        for (int s = 0; s <= steps; ++s)
            runs.add(ax + (bx - ax) * s / steps, ay + (by - ay) * s / steps);
    }
    if (polyline.size() == 1) {
        const QPointF p = polyline[0];
        if (p.x() >= 0 && p.y() >= 0 && p.x() < canvas.w && p.y() < canvas.h)
            runs.add(int(p.x()), int(p.y()));
    }
    runs.flush();
}

}  // namespace

void LineRaster::Draw(QImage& image, const QPolygonF& polyline, QRgb colour, bool dashed) {
    if (image.width() <= 0 || image.height() <= 0) return;
    Canvas canvas{image.bits(), image.bytesPerLine(), colour, image.width(), image.height()};
    if (!dashed) return drawSolid(canvas, polyline);
    int along = 0;  // pixels walked, for the dashes
    for (qsizetype i = 0; i + 1 < polyline.size(); ++i) {
        double x0 = polyline[i].x(), y0 = polyline[i].y();
        double x1 = polyline[i + 1].x(), y1 = polyline[i + 1].y();
        if (!clip(x0, y0, x1, y1, canvas.w, canvas.h)) continue;
        const int ax = int(x0), ay = int(y0), bx = int(x1), by = int(y1);
        const int steps = std::max(std::abs(bx - ax), std::abs(by - ay));
        // The last pixel of a segment is the first of the next one: drawn once.
        const int last = (i + 2 == polyline.size()) ? steps : steps - 1;
        for (int s = 0; s <= std::max(last, 0); ++s, ++along) {
            if (along % (kDashOn + kDashOff) >= kDashOn) continue;
            const int x = steps ? ax + (bx - ax) * s / steps : ax;
            const int y = steps ? ay + (by - ay) * s / steps : ay;
            canvas.stamp(x, y);
        }
    }
}
