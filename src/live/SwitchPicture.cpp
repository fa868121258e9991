#include "SwitchPicture.h"

#include <QLinearGradient>
#include <QPainter>

void SwitchPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(QColor(40, 40, 40), 1));
    painter.setBrush(QColor(30, 30, 34));
    painter.drawRoundedRect(plate, plate.width() * 0.2, plate.width() * 0.2);

    // The toggle: a round nut and a lever tipped up.
    const QPointF nut = plate.center() + QPointF(0, plate.height() * 0.15);
    const double r = plate.width() * 0.22;
    QLinearGradient metal(plate.topLeft(), plate.topRight());
    metal.setColorAt(0, QColor(150, 150, 155));
    metal.setColorAt(0.5, QColor(240, 240, 245));
    metal.setColorAt(1, QColor(120, 120, 125));
    painter.setPen(QPen(QColor(70, 70, 70), 1));
    painter.setBrush(metal);
    const QPointF tip = nut - QPointF(0, plate.height() * 0.45);
    painter.drawPolygon(QPolygonF({nut + QPointF(-r * 0.5, 0), tip + QPointF(-r * 0.35, 0),
                                   tip + QPointF(r * 0.35, 0), nut + QPointF(r * 0.5, 0)}));
    painter.drawEllipse(tip, r * 0.45, r * 0.3);
    painter.drawEllipse(nut, r, r);
}
