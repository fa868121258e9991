#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QWidget>
#include <vector>

class QLabel;
class QRubberBand;

// The plot of the acquisition graph, painted here: the title, the legend, the axes with their
// round ticks and the grid live in a cached picture that changes only with the axes or the
// size; a change of the data repaints one polyline per trace over it (or, in the XY view, a
// cloud of points). Dragging across the plot marks a time span to zoom into (the value axis
// follows the data, so only the span counts); a vertical line with a small box of values follows
// the mouse over the plot.
class GraphView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMinimumDrag = 4;  // pixels; a shorter drag is a click

    struct Line {
        QList<QPointF> points;  // in axis units, ascending in X
        QColor colour;
        bool dashed = false;
    };
    struct Cloud {
        std::vector<QPointF> points;  // in axis units
        QColor colour;
    };
    struct Axis {
        double from = 0;
        double to = 1;
        QString title;
        bool operator==(const Axis&) const = default;
    };
    struct LegendEntry {
        QString text;
        QColor colour;
        bool dashed = false;
    };

    explicit GraphView(QWidget* parent = nullptr);

    void SetTitle(const QString& title, const QFont& font, const QColor& colour);
    void SetLabelFont(const QFont& font);
    void SetLegend(const QList<LegendEntry>& legend);
    void SetAxes(const Axis& x, const Axis& y);
    // The time view's lines; they replace any cloud.
    void SetLines(QList<Line> lines);
    // The XY view's clouds; they replace any line.
    void SetClouds(QList<Cloud> clouds);
    // Whether a drag zooms; the XY view has no time span to zoom.
    void SetZoomable(bool zoomable) { zoomable_ = zoomable; }

    const QList<Line>& Lines() const { return lines_; }
    const QList<LegendEntry>& Legend() const { return legend_; }
    const QList<Cloud>& Clouds() const { return clouds_; }
    const Axis& XAxis() const { return x_; }
    const Axis& YAxis() const { return y_; }
    std::vector<double> XTicks() const;
    std::vector<double> YTicks() const;
    // The plot's rectangle in this widget.
    QRect PlotArea() const { return plot_; }
    QPointF ToPixel(QPointF value) const;
    QPointF ToValue(QPointF pixel) const;

    // Everything the screen shows, in this widget's coordinates, on any painter: the printer's.
    void Render(QPainter& painter);

    // A vertical line at value.x(), or in the XY view a cross at value, with this rich text
    // beside it.
    void ShowCursor(QPointF value, const QString& html);
    void HideCursor();
    bool CursorShown() const { return cursorShown_; }
    QLabel* Readout() const { return readout_; }

  signals:
    void zoomRequested(double from, double to);
    void cursorMoved(QPointF value);
    // The plot's width in pixels changed: the points per column are to be taken again.
    void plotResized(int columns);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void layOut();
    int legendRows(int width) const;
    void paintBackground(QPainter& painter) const;
    void paintLegend(QPainter& painter, QRect area) const;
    void paintAxes(QPainter& painter) const;
    void paintData(QPainter& painter, bool screen);
    void paintCursor(QPainter& painter) const;
    const std::vector<QPolygonF>& polylines();
    const QImage& cloudImage();
    const QImage& composed();
    QRect band(QPoint to) const;

    QString title_;
    QFont titleFont_;
    QColor titleColour_;
    QFont labelFont_;
    QList<LegendEntry> legend_;
    Axis x_;
    Axis y_;
    QList<Line> lines_;
    QList<Cloud> clouds_;
    bool zoomable_ = true;
    QRect plot_;

    QImage background_;  // title, legend, axes, grid: redrawn when they or the size change
    bool backgroundStale_ = true;
    std::vector<QPolygonF> polylines_;  // the lines in pixels
    bool polylinesStale_ = true;
    QImage composed_;  // the background with the lines, as the screen shows them
    bool lineStale_ = true;
    QImage cloudImage_;  // the clouds, one pixel set per point
    bool cloudStale_ = true;

    QRubberBand* rubberBand_;
    QLabel* readout_;
    QPoint origin_;
    bool dragging_ = false;
    bool cursorShown_ = false;
    QPointF cursor_;
};
