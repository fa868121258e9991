#include "FuelLamp.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

FuelLamp::FuelLamp(const QColor& lit, QWidget* parent) : QWidget(parent), colour_(lit) {}

void FuelLamp::SetLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    update();
}

void FuelLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);

    // A chrome ring, then the glass: bright at its upper left when lit, a dull tint when dark.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 96));
    painter.drawEllipse(lamp);
    const QRectF glass = lamp.adjusted(side * 0.1, side * 0.1, -side * 0.1, -side * 0.1);
    const QColor base = lit_ ? colour_ : colour_.darker(400);
    QRadialGradient shine(glass.center() - QPointF(glass.width() * 0.2, glass.height() * 0.2),
                          glass.width() * 0.7);
    shine.setColorAt(0, lit_ ? base.lighter(170) : base.lighter(130));
    shine.setColorAt(1, base);
    painter.setBrush(shine);
    painter.drawEllipse(glass);
}
