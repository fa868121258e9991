#include "GraphView.h"

#include <QGraphicsLineItem>
#include <QLabel>
#include <QMouseEvent>
#include <QRubberBand>

namespace {
constexpr int kReadoutGap = 8;  // between the line and its box
const QColor kReadoutBackground(48, 48, 48);
}  // namespace

GraphView::GraphView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent),
      rubberBand_(new QRubberBand(QRubberBand::Rectangle, viewport())),
      line_(new QGraphicsLineItem()),
      readout_(new QLabel(viewport())) {
    setObjectName(QStringLiteral("GraphView"));
    setRubberBand(QChartView::NoRubberBand);  // the span is marked here
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    line_->setPen(QPen(Qt::black, 1, Qt::DashLine));
    line_->setZValue(1000);
    line_->hide();
    chart->scene()->addItem(line_);
    readout_->setObjectName(QStringLiteral("Readout"));
    readout_->setTextFormat(Qt::RichText);
    // Dark, so that every trace colour shows on it, the light yellow and silver ones too.
    QPalette palette = readout_->palette();
    palette.setColor(QPalette::Window, kReadoutBackground);
    palette.setColor(QPalette::WindowText, Qt::white);
    readout_->setPalette(palette);
    readout_->setAutoFillBackground(true);
    readout_->setFrameShape(QFrame::Box);
    readout_->setMargin(4);
    readout_->setAttribute(Qt::WA_TransparentForMouseEvents);
    readout_->hide();
}

double GraphView::secondsAt(QPoint viewportPoint) const {
    return chart()->mapToValue(mapToScene(viewportPoint)).x();
}

// The whole height of the plot between the press and the mouse.
QRect GraphView::band(QPoint to) const {
    const QRect plot = mapFromScene(chart()->plotArea()).boundingRect();
    return QRect(QPoint(std::min(origin_.x(), to.x()), plot.top()),
                 QPoint(std::max(origin_.x(), to.x()), plot.bottom()));
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && chart()->plotArea().contains(mapToScene(at))) {
        origin_ = at;
        dragging_ = true;
        rubberBand_->setGeometry(band(at));
        rubberBand_->show();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragging_) rubberBand_->setGeometry(band(at));
    if (chart()->plotArea().contains(mapToScene(at))) {
        emit cursorMoved(secondsAt(at));
    } else {
        HideCursor();
    }
    QChartView::mouseMoveEvent(event);
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    rubberBand_->hide();
    const QPoint at = event->position().toPoint();
    if (std::abs(at.x() - origin_.x()) >= kMinimumDrag) {
        const double a = secondsAt(origin_);
        const double b = secondsAt(at);
        emit zoomRequested(std::min(a, b), std::max(a, b));
    }
    event->accept();
}

void GraphView::leaveEvent(QEvent* event) {
    HideCursor();
    QChartView::leaveEvent(event);
}

void GraphView::ShowCursor(double seconds, const QString& html) {
    const QRectF plot = chart()->plotArea();
    const qreal x = chart()->mapToPosition(QPointF(seconds, 0)).x();
    line_->setLine(x, plot.top(), x, plot.bottom());
    line_->show();
    readout_->setText(html);
    readout_->adjustSize();
    // Beside the line, on the side with room for it.
    const QRect area = mapFromScene(plot).boundingRect();
    const int lineX = mapFromScene(QPointF(x, plot.top())).x();
    int left = lineX + kReadoutGap;
    if (left + readout_->width() > area.right()) left = lineX - kReadoutGap - readout_->width();
    readout_->move(std::max(left, 0), area.top() + kReadoutGap);
    readout_->show();
}

void GraphView::HideCursor() {
    line_->hide();
    readout_->hide();
}

bool GraphView::CursorShown() const { return line_->isVisible(); }
