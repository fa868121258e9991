#include "ProductLogo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kTeal(0, 128, 128);
const QColor kFlameOuter(0, 90, 200);
const QColor kFlameInner(120, 200, 255);

QPainterPath flame(const QRectF& box) {
    const double w = box.width(), h = box.height(), x = box.x(), y = box.y();
    QPainterPath path(QPointF(x + w * 0.5, y));
    path.cubicTo(x + w * 0.95, y + h * 0.35, x + w * 1.0, y + h * 0.75, x + w * 0.5, y + h);
    path.cubicTo(x + w * 0.0, y + h * 0.75, x + w * 0.05, y + h * 0.35, x + w * 0.5, y);
    return path;
}
}  // namespace

void ProductLogo::Paint(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);

    const double side = std::min(area.width(), area.height());
    const QRectF outer(area.center().x() - side * 0.18, area.top() + side * 0.08, side * 0.36,
                       side * 0.56);
    QLinearGradient gradient(outer.topLeft(), outer.bottomLeft());
    gradient.setColorAt(0, kFlameInner);
    gradient.setColorAt(1, kFlameOuter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawPath(flame(outer));
    const QRectF inner = outer.adjusted(outer.width() * 0.3, outer.height() * 0.4,
                                        -outer.width() * 0.3, -outer.height() * 0.06);
    painter.setBrush(Qt::white);
    painter.drawPath(flame(inner));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(1, static_cast<int>(side * 0.16)));
    painter.setFont(font);
    painter.setPen(kTeal);
    const QRectF caption(area.left(), outer.bottom() + side * 0.04, area.width(), side * 0.22);
    painter.drawText(caption, Qt::AlignCenter, QStringLiteral("GPL \u00B7 CNG"));
    painter.restore();
}

QPixmap ProductLogo::Render(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    Paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}
