#pragma once

#include <QChartView>
#include <QPoint>

class QGraphicsLineItem;
class QLabel;
class QRubberBand;

// The chart of the acquisition graph on the screen: dragging the mouse across the plot marks a
// time span to zoom into (the value axis follows the data, so only the span counts), and a
// vertical line with a small box of values follows the mouse over the plot.
class GraphView : public QChartView {
    Q_OBJECT
  public:
    static constexpr int kMinimumDrag = 4;  // pixels; a shorter drag is a click

    explicit GraphView(QChart* chart, QWidget* parent = nullptr);

    // The cursor line at this time, with this rich text beside it.
    void ShowCursor(double seconds, const QString& html);
    void HideCursor();
    bool CursorShown() const;
    QLabel* Readout() const { return readout_; }

  signals:
    void zoomRequested(double from, double to);
    void cursorMoved(double seconds);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QRect band(QPoint to) const;
    double secondsAt(QPoint viewportPoint) const;

    QRubberBand* rubberBand_;
    QGraphicsLineItem* line_;
    QLabel* readout_;
    QPoint origin_;
    bool dragging_ = false;
};
