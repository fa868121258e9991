#include "DialView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

const QColor DialView::kNeedle(0, 0, 128);
const QColor DialView::kFace(221, 221, 221);

namespace {
const QColor kBezel(70, 70, 78);
const QColor kRedZone(200, 0, 0);
constexpr int kMarks = 14;       // a mark every 500 rpm, a number every 1000
constexpr int kEraseMargin = 2;  // the erasing pen is wider: no trace of the smoothed edge

// The point at radius r from centre where a needle at this speed would point.
QPointF onDial(QPointF centre, double r, double rpm) {
    const double angle =
        (225.0 - rpm / NeedleGeometry::kFullScaleRpm * NeedleGeometry::kSweepDegrees) *
        std::numbers::pi / 180.0;
    return centre + QPointF(r * std::cos(angle), -r * std::sin(angle));
}
}  // namespace

DialView::DialView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void DialView::SetCaption(const QString& caption) {
    caption_ = caption;
    if (image_.isNull()) return;
    QPainter painter(&image_);
    paintCaption(painter);
    update(captionRect());
}

void DialView::resizeEvent(QResizeEvent*) { ensureImage(); }

// A hidden widget learns its size only when shown: the image follows the size whenever needed.
void DialView::ensureImage() {
    if (image_.size() == size()) return;
    image_ = QPixmap(size());
    paintDial();
    repaint_ = true;
}

void DialView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawPixmap(event->rect(), image_, event->rect());
}

void DialView::paintDial() {
    ++dialPaints_;
    image_.fill(palette().color(QPalette::Window));
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    const NeedleGeometry geometry = Geometry();
    const QPointF centre = geometry.Centre();
    const double r = geometry.Radius();

    painter.setPen(Qt::NoPen);
    painter.setBrush(kBezel);
    painter.drawEllipse(centre, r, r);
    painter.setBrush(kFace);
    painter.drawEllipse(centre, r * 0.94, r * 0.94);

    // The red zone from 6000 rpm to full scale.
    QPainterPath zone;
    const QRectF outer(centre - QPointF(r * 0.78, r * 0.78), QSizeF(r * 1.56, r * 1.56));
    zone.arcMoveTo(outer, 225.0 - 6.0 / 7.0 * NeedleGeometry::kSweepDegrees);
    zone.arcTo(outer, 225.0 - 6.0 / 7.0 * NeedleGeometry::kSweepDegrees,
               -NeedleGeometry::kSweepDegrees / 7.0);
    painter.strokePath(zone, QPen(kRedZone, r * 0.06, Qt::SolidLine, Qt::FlatCap));

    QFont numbers = font();
    numbers.setBold(true);
    numbers.setPixelSize(std::max(8, static_cast<int>(r * 0.12)));
    painter.setFont(numbers);
    for (int mark = 0; mark <= kMarks; ++mark) {
        const double rpm = mark * 500.0;
        const bool major = mark % 2 == 0;
        painter.setPen(QPen(Qt::black, major ? 3 : 1.5));
        painter.drawLine(onDial(centre, r * (major ? 0.75 : 0.77), rpm),
                         onDial(centre, r * 0.81, rpm));
        if (!major) continue;
        // The numbers stand beyond the marks, out of the needle's reach (0.7 R).
        const QPointF at = onDial(centre, r * 0.875, rpm);
        const QRectF box(at - QPointF(r * 0.08, r * 0.06), QSizeF(r * 0.16, r * 0.12));
        painter.drawText(box, Qt::AlignCenter, QString::number(mark / 2));
    }
    paintCaption(painter);
}

QRect DialView::captionRect() const {
    const NeedleGeometry geometry = Geometry();
    const int r = geometry.Radius();
    // Below the hub, clear of the needle's sweep (which leaves the bottom quarter free).
    return QRect(geometry.Centre() + QPoint(-r * 30 / 100, r * 38 / 100),
                 QSize(r * 60 / 100, r * 16 / 100));
}

void DialView::paintCaption(QPainter& painter) {
    const QRect box = captionRect();
    painter.fillRect(box, kFace);
    QFont small = font();
    small.setBold(true);
    small.setPixelSize(std::max(8, box.height() * 6 / 10));
    painter.setFont(small);
    painter.setPen(kNeedle);
    painter.drawText(box, Qt::AlignCenter, caption_);
}

void DialView::paintNeedle(QPainter& painter, int rpm, const QColor& colour) {
    const NeedleGeometry geometry = Geometry();
    const bool erase = colour != kNeedle;
    painter.setRenderHint(QPainter::Antialiasing, !erase);
    painter.setPen(QPen(colour, NeedleGeometry::kPenWidth + (erase ? kEraseMargin : 0),
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(geometry.Centre(), geometry.Tip(rpm));
    // The hub, in the needle's colour after every line, erasing or not.
    const QPoint c = geometry.Centre();
    const int h = NeedleGeometry::kHubRadius;
    painter.setPen(QPen(kNeedle, 1));
    painter.setBrush(kNeedle);
    painter.drawEllipse(QRect(c - QPoint(h, h), c + QPoint(h, h)));
}

void DialView::MoveNeedle(int previousRpm, int rpm) {
    ensureImage();
    if (previousRpm == rpm && !repaint_) return;
    QPainter painter(&image_);
    paintNeedle(painter, previousRpm, kFace);
    paintNeedle(painter, rpm, kNeedle);
    paintCaption(painter);
    repaint_ = false;
    const NeedleGeometry geometry = Geometry();
    update(geometry.Bounds(previousRpm) | geometry.Bounds(rpm) | captionRect());
}

void DialView::DrawNeedle(int rpm) {
    ensureImage();
    QPainter painter(&image_);
    paintNeedle(painter, rpm, kNeedle);
    update(Geometry().Bounds(rpm));
}
