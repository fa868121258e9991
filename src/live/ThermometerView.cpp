#include "ThermometerView.h"

#include <QPainter>
#include <algorithm>

namespace {
const QColor kGlass(250, 250, 250);
const QColor kRim(110, 110, 120);
const QColor kLiquid(128, 0, 128);
}  // namespace

ThermometerView::ThermometerView(QWidget* parent) : QWidget(parent) {}

void ThermometerView::SetScale(int zeroY, int hundredY) {
    zeroY_ = zeroY;
    hundredY_ = hundredY;
    update();
}

QRect ThermometerView::Bore() const {
    const int bore = std::max(4, width() / 5);
    return QRect(width() / 2 - bore / 2, hundredY_, bore, zeroY_ - hundredY_);
}

void ThermometerView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect bore = Bore();
    const int tube = bore.width() * 2;
    const int bulb = tube * 2;
    const int cx = width() / 2;
    const int bulbTop = std::min(zeroY_ + bore.width(), height() - bulb - 2);

    // Glass: the tube from above 100 degrees down into the bulb.
    painter.setPen(QPen(kRim, 2));
    painter.setBrush(kGlass);
    const QRect glass(cx - tube / 2, std::max(1, hundredY_ - tube), tube,
                      bulbTop + bulb / 2 - std::max(1, hundredY_ - tube));
    painter.drawRoundedRect(glass, tube / 2.0, tube / 2.0);
    painter.setBrush(kLiquid);
    painter.drawEllipse(QRect(cx - bulb / 2, bulbTop, bulb, bulb));
    painter.fillRect(QRect(bore.left(), zeroY_, bore.width(), bulbTop - zeroY_ + bulb / 2),
                     kLiquid);

    // Marks every 10 degrees, longer at 0, 50 and 100.
    painter.setPen(QPen(Qt::black, 1));
    for (int degrees = 0; degrees <= 100; degrees += 10) {
        const int y = zeroY_ - (zeroY_ - hundredY_) * degrees / 100;
        const int length = degrees % 50 == 0 ? tube : tube / 2;
        painter.drawLine(cx + tube / 2 + 2, y, cx + tube / 2 + 2 + length, y);
    }
}
