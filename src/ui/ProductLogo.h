#pragma once

#include <QPixmap>
#include <QSize>

class QPainter;
class QRectF;

// The product logo, drawn rather than stored, so it is sharp at every scale: a gas flame
// over the two fuels of the kit.
class ProductLogo {
  public:
    static QPixmap Render(const QSize& size);
    static void Paint(QPainter& painter, const QRectF& area);
};
