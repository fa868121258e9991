#include "GraphView.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "AxisTicks.h"
#include "LineRaster.h"

namespace {
constexpr int kMargin = 8;
constexpr int kReadoutGap = 8;    // between the line and its box
constexpr int kLineWidth = 2;
constexpr int kSample = 22;       // a legend entry's line
constexpr int kLegendSpacing = 14;
constexpr int kPixelsPerXTick = 90;
constexpr int kPixelsPerYTick = 36;
constexpr int kTickLength = 4;
constexpr int kCross = 6;         // half the XY cursor's cross
const QColor kPanel(234, 234, 234);
const QColor kGrid(224, 224, 224);
const QColor kReadoutBackground(48, 48, 48);

QString tickText(double value, double step) {
    return QString::number(value, 'f', AxisTicks::Decimals(step));
}

std::vector<double> ticks(const GraphView::Axis& axis, int pixels, int perTick) {
    return AxisTicks::Values(axis.from, axis.to, std::max(2, pixels / perTick));
}

// The first and last points of a line can lie far outside the plot (the records on either side
// of a zoomed span): they are moved onto its edges, along the line, so that no coordinate
// grows beyond what a painter handles well.
void clipEnds(QPolygonF& line, double left, double right) {
    auto onEdge = [](QPointF outside, QPointF inside, double edge) {
        const double t = (edge - inside.x()) / (outside.x() - inside.x());
        return QPointF(edge, inside.y() + (outside.y() - inside.y()) * t);
    };
    if (line.size() < 2) return;
    if (line[0].x() < left && line[1].x() > left) line[0] = onEdge(line[0], line[1], left);
    const qsizetype last = line.size() - 1;
    if (line[last].x() > right && line[last - 1].x() < right)
        line[last] = onEdge(line[last], line[last - 1], right);
}
}  // namespace

GraphView::GraphView(QWidget* parent)
    : QWidget(parent),
      rubberBand_(new QRubberBand(QRubberBand::Rectangle, this)),
      readout_(new QLabel(this)) {
    setObjectName(QStringLiteral("GraphView"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    layOut();
}

void GraphView::SetTitle(const QString& title, const QFont& font, const QColor& colour) {
    title_ = title;
    titleFont_ = font;
    titleColour_ = colour;
    layOut();
}

void GraphView::SetLabelFont(const QFont& font) {
    labelFont_ = font;
    layOut();
}

void GraphView::SetLegend(const QList<LegendEntry>& legend) {
    legend_ = legend;
    layOut();
}

void GraphView::SetAxes(const Axis& x, const Axis& y) {
    if (x == x_ && y == y_) return;
    x_ = x;
    y_ = y;
    layOut();  // the value labels' width may change
}

void GraphView::SetLines(QList<Line> lines) {
    lines_ = std::move(lines);
    clouds_.clear();
    polylinesStale_ = true;
    lineStale_ = true;
    cloudStale_ = true;
    update();
}

void GraphView::SetClouds(QList<Cloud> clouds) {
    clouds_ = std::move(clouds);
    lines_.clear();
    polylinesStale_ = true;
    lineStale_ = true;
    cloudStale_ = true;
    update();
}

std::vector<double> GraphView::XTicks() const { return ticks(x_, plot_.width(), kPixelsPerXTick); }

std::vector<double> GraphView::YTicks() const {
    return ticks(y_, plot_.height(), kPixelsPerYTick);
}

QPointF GraphView::ToPixel(QPointF value) const {
    const double xSpan = x_.to - x_.from;
    const double ySpan = y_.to - y_.from;
    const double x = xSpan > 0 ? (value.x() - x_.from) / xSpan : 0;
    const double y = ySpan > 0 ? (value.y() - y_.from) / ySpan : 0;
    return {plot_.left() + x * plot_.width(), plot_.bottom() + 1 - y * plot_.height()};
}

QPointF GraphView::ToValue(QPointF pixel) const {
    const double x = plot_.width() > 0 ? (pixel.x() - plot_.left()) / plot_.width() : 0;
    const double y = plot_.height() > 0 ? (plot_.bottom() + 1 - pixel.y()) / plot_.height() : 0;
    return {x_.from + x * (x_.to - x_.from), y_.from + y * (y_.to - y_.from)};
}

int GraphView::legendRows(int width) const {
    const QFontMetrics metrics(labelFont_);
    int rows = legend_.isEmpty() ? 0 : 1;
    int x = 0;
    for (const LegendEntry& entry : legend_) {
        const int w = kSample + 4 + metrics.horizontalAdvance(entry.text) + kLegendSpacing;
        if (x > 0 && x + w > width) {
            ++rows;
            x = 0;
        }
        x += w;
    }
    return rows;
}

// The plot takes what the title, the legend and the axes' labels leave.
void GraphView::layOut() {
    const QFontMetrics labels(labelFont_);
    const int line = labels.height();
    int top = kMargin;
    if (!title_.isEmpty()) top += QFontMetrics(titleFont_).height() + 4;
    top += legendRows(width() - 2 * kMargin) * (line + 2) + line / 2;
    int bottom = kMargin + line + kTickLength + 2 + (x_.title.isEmpty() ? 0 : line + 2);
    // The value labels of the ticks a plot of about this height would get.
    const int guessHeight = std::max(1, height() - top - bottom);
    int labelWidth = 0;
    const auto yTicks = ticks(y_, guessHeight, kPixelsPerYTick);
    const double yStep = AxisTicks::Step(y_.from, y_.to, std::max(2, guessHeight / kPixelsPerYTick));
    for (double v : yTicks) labelWidth = std::max(labelWidth, labels.horizontalAdvance(tickText(v, yStep)));
    const int left = kMargin + labelWidth + kTickLength + 4 + (y_.title.isEmpty() ? 0 : line + 2);
    const int right = kMargin + labels.horizontalAdvance(QStringLiteral("0000")) / 2;
    const int oldWidth = plot_.width();
    plot_ = QRect(left, top, std::max(1, width() - left - right),
                  std::max(1, height() - top - bottom));
    backgroundStale_ = true;
    polylinesStale_ = true;
    lineStale_ = true;
    cloudStale_ = true;
    update();
    if (plot_.width() != oldWidth) emit plotResized(plot_.width());
}

void GraphView::paintLegend(QPainter& painter, QRect area) const {
    const QFontMetrics metrics(labelFont_);
    const int line = metrics.height();
    int x = area.left();
    int y = area.top();
    for (const LegendEntry& entry : legend_) {
        const int w = kSample + 4 + metrics.horizontalAdvance(entry.text) + kLegendSpacing;
        if (x > area.left() && x + w > area.right()) {
            x = area.left();
            y += line + 2;
        }
        QPen pen(entry.colour, kLineWidth + 1);
        if (entry.dashed) pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        const int middle = y + line / 2;
        painter.drawLine(x, middle, x + kSample, middle);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x + kSample + 4, y, w, line), Qt::AlignLeft | Qt::AlignVCenter,
                         entry.text);
        x += w;
    }
}

void GraphView::paintAxes(QPainter& painter) const {
    const QFontMetrics metrics(labelFont_);
    const int line = metrics.height();
    painter.setFont(labelFont_);
    const int xMost = std::max(2, plot_.width() / kPixelsPerXTick);
    const int yMost = std::max(2, plot_.height() / kPixelsPerYTick);
    const double xStep = AxisTicks::Step(x_.from, x_.to, xMost);
    const double yStep = AxisTicks::Step(y_.from, y_.to, yMost);
    for (double v : AxisTicks::Values(x_.from, x_.to, xMost)) {
        const int px = int(std::lround(ToPixel({v, y_.from}).x()));
        painter.setPen(kGrid);
        painter.drawLine(px, plot_.top(), px, plot_.bottom());
        painter.setPen(Qt::black);
        painter.drawLine(px, plot_.bottom() + 1, px, plot_.bottom() + kTickLength);
        painter.drawText(QRect(px - 60, plot_.bottom() + kTickLength + 2, 120, line),
                         Qt::AlignHCenter | Qt::AlignTop, tickText(v, xStep));
    }
    for (double v : AxisTicks::Values(y_.from, y_.to, yMost)) {
        const int py = int(std::lround(ToPixel({x_.from, v}).y()));
        painter.setPen(kGrid);
        painter.drawLine(plot_.left(), py, plot_.right(), py);
        painter.setPen(Qt::black);
        painter.drawLine(plot_.left() - kTickLength, py, plot_.left() - 1, py);
        painter.drawText(QRect(0, py - line / 2, plot_.left() - kTickLength - 3, line),
                         Qt::AlignRight | Qt::AlignVCenter, tickText(v, yStep));
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot_.adjusted(-1, -1, 0, 0));
    if (!x_.title.isEmpty())
        painter.drawText(QRect(plot_.left(), plot_.bottom() + kTickLength + line + 4,
                               plot_.width(), line),
                         Qt::AlignHCenter | Qt::AlignTop, x_.title);
    if (!y_.title.isEmpty()) {
        painter.save();
        painter.translate(kMargin, plot_.center().y());
        painter.rotate(-90);
        painter.drawText(QRect(-plot_.height() / 2, 0, plot_.height(), line),
                         Qt::AlignHCenter | Qt::AlignTop, y_.title);
        painter.restore();
    }
}

void GraphView::paintBackground(QPainter& painter) const {
    painter.fillRect(rect(), kPanel);
    int top = kMargin;
    if (!title_.isEmpty()) {
        painter.setFont(titleFont_);
        painter.setPen(titleColour_);
        const int h = QFontMetrics(titleFont_).height();
        painter.drawText(QRect(0, top, width(), h), Qt::AlignHCenter | Qt::AlignVCenter, title_);
        top += h + 4;
    }
    painter.setFont(labelFont_);
    paintLegend(painter, QRect(kMargin, top, width() - 2 * kMargin, plot_.top() - top));
    painter.fillRect(plot_, Qt::white);
    paintAxes(painter);
}

const std::vector<QPolygonF>& GraphView::polylines() {
    if (!polylinesStale_) return polylines_;
    polylines_.clear();
    polylines_.reserve(size_t(lines_.size()));
    for (const Line& line : lines_) {
        QPolygonF pixels;
        pixels.reserve(line.points.size());
        for (const QPointF& p : line.points) pixels.append(ToPixel(p));
        clipEnds(pixels, plot_.left() - 1.0, plot_.right() + 2.0);
        polylines_.push_back(std::move(pixels));
    }
    polylinesStale_ = false;
    return polylines_;
}

// Each point sets a square of two by two pixels; a point on a pixel already set costs nothing
// more to paint, so a day of records paints as fast as a minute.
const QImage& GraphView::cloudImage() {
    if (!cloudStale_) return cloudImage_;
    cloudImage_ = QImage(plot_.size(), QImage::Format_ARGB32_Premultiplied);
    cloudImage_.fill(Qt::transparent);
    const int w = cloudImage_.width();
    const int h = cloudImage_.height();
    for (const Cloud& cloud : clouds_) {
        const QRgb colour = cloud.colour.rgba();
        for (const QPointF& p : cloud.points) {
            const QPointF at = ToPixel(p) - QPointF(plot_.topLeft());
            const int x = int(std::floor(at.x()));
            const int y = int(std::floor(at.y()));
            for (int row = std::max(y - 1, 0); row <= std::min(y, h - 1); ++row) {
                auto* pixels = reinterpret_cast<QRgb*>(cloudImage_.scanLine(row));
                for (int col = std::max(x - 1, 0); col <= std::min(x, w - 1); ++col)
                    pixels[col] = colour;
            }
        }
    }
    cloudStale_ = false;
    return cloudImage_;
}

// On the screen the lines are set pixel by pixel into a copy of the background, once per change
// of the data, the axes or the size: painting is then one copy, and the cursor moves over it
// without drawing a line again. A printer gets the lines as wide strokes.
const QImage& GraphView::composed() {
    if (!backgroundStale_ && !lineStale_ && composed_.size() == size()) return composed_;
    if (backgroundStale_ || background_.size() != size()) {
        if (background_.size() != size()) background_ = QImage(size(), QImage::Format_RGB32);
        QPainter picture(&background_);
        paintBackground(picture);
        backgroundStale_ = false;
    }
    // Into the same buffer each time: fresh pages for every zoom cost more than the copy.
    if (composed_.size() != background_.size() || composed_.format() != background_.format())
        composed_ = QImage(background_.size(), background_.format());
    std::memcpy(composed_.bits(), background_.constBits(), size_t(background_.sizeInBytes()));
    QImage plot(composed_.bits() + plot_.top() * composed_.bytesPerLine() + plot_.left() * 4,
                plot_.width(), plot_.height(), composed_.bytesPerLine(), composed_.format());
    const std::vector<QPolygonF>& pixels = polylines();
    const QPointF origin = plot_.topLeft();
    for (size_t i = 0; i < pixels.size(); ++i) {
        const Line& line = lines_[qsizetype(i)];
        LineRaster::Draw(plot, pixels[i].translated(-origin), line.colour.rgb(), line.dashed);
    }
    lineStale_ = false;
    return composed_;
}

void GraphView::paintData(QPainter& painter, bool screen) {
    painter.save();
    painter.setClipRect(plot_);
    if (!clouds_.isEmpty()) painter.drawImage(plot_.topLeft(), cloudImage());
    if (!screen) {
        const std::vector<QPolygonF>& pixels = polylines();
        for (size_t i = 0; i < pixels.size(); ++i) {
            const Line& line = lines_[qsizetype(i)];
            QPen pen(line.colour, kLineWidth);
            if (line.dashed) pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            painter.drawPolyline(pixels[i]);
        }
    }
    painter.restore();
}

void GraphView::paintCursor(QPainter& painter) const {
    if (!cursorShown_) return;
    const QPointF at = ToPixel(cursor_);
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    if (zoomable_) {
        painter.drawLine(QPointF(at.x(), plot_.top()), QPointF(at.x(), plot_.bottom()));
        return;
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(at - QPointF(kCross, 0), at + QPointF(kCross, 0));
    painter.drawLine(at - QPointF(0, kCross), at + QPointF(0, kCross));
}

void GraphView::Render(QPainter& painter) {
    paintBackground(painter);
    paintData(painter, false);
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, composed());
    paintData(painter, true);
    paintCursor(painter);
}

void GraphView::resizeEvent(QResizeEvent*) { layOut(); }

// The whole height of the plot between the press and the mouse.
QRect GraphView::band(QPoint to) const {
    return QRect(QPoint(std::min(origin_.x(), to.x()), plot_.top()),
                 QPoint(std::max(origin_.x(), to.x()), plot_.bottom()));
}

void GraphView::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (zoomable_ && event->button() == Qt::LeftButton && plot_.contains(at)) {
        origin_ = at;
        dragging_ = true;
        rubberBand_->setGeometry(band(at));
        rubberBand_->show();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragging_) rubberBand_->setGeometry(band(at));
    if (plot_.contains(at)) {
        emit cursorMoved(ToValue(at));
    } else {
        HideCursor();
    }
}

void GraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    rubberBand_->hide();
    const QPoint at = event->position().toPoint();
    if (std::abs(at.x() - origin_.x()) >= kMinimumDrag) {
        const double a = ToValue(origin_).x();
        const double b = ToValue(at).x();
        emit zoomRequested(std::min(a, b), std::max(a, b));
    }
    event->accept();
}

void GraphView::leaveEvent(QEvent* event) {
    HideCursor();
    QWidget::leaveEvent(event);
}

void GraphView::ShowCursor(QPointF value, const QString& html) {
    cursor_ = value;
    cursorShown_ = true;
    readout_->setText(html);
    readout_->adjustSize();
    // Beside the line, on the side with room for it.
    const int lineX = int(ToPixel(value).x());
    int left = lineX + kReadoutGap;
    if (left + readout_->width() > plot_.right()) left = lineX - kReadoutGap - readout_->width();
    readout_->move(std::max(left, 0), plot_.top() + kReadoutGap);
    readout_->show();
    update();
}

void GraphView::HideCursor() {
    if (!cursorShown_ && readout_->isHidden()) return;
    cursorShown_ = false;
    readout_->hide();
    update();
}
