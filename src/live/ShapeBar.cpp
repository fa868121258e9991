#include "ShapeBar.h"

#include <QPainter>

ShapeBar::ShapeBar(const QColor& fill, const QColor& outline, QWidget* parent)
    : QWidget(parent), fill_(fill), outline_(outline) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ShapeBar::SetFill(const QColor& fill) {
    if (fill == fill_) return;
    fill_ = fill;
    update();
}

void ShapeBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    if (outline_.isValid() && width() > 1 && height() > 1) {
        painter.setPen(outline_);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
