#include "WaitAnimation.h"

#include <QPainter>
#include <QtMath>

WaitAnimation::WaitAnimation(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(kFrameMs);
    connect(&timer_, &QTimer::timeout, this, &WaitAnimation::Step);
}

void WaitAnimation::Start() { timer_.start(); }

void WaitAnimation::Stop() { timer_.stop(); }

void WaitAnimation::Step() {
    frame_ = (frame_ + 1) % kDots;
    // Painted at once: the operation that runs meanwhile keeps the event loop busy.
    repaint();
}

void WaitAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    const double ring = side * 0.36, dot = side * 0.11;
    const QPointF centre(width() / 2.0, height() / 2.0);
    for (int i = 0; i < kDots; ++i) {
        const double angle = 2 * M_PI * i / kDots - M_PI / 2;
        const int age = (frame_ - i + kDots) % kDots;  // 0 = the bright dot
        QColor colour(0, 128, 128);
        colour.setAlpha(IsRunning() ? 255 - age * 28 : 90);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(centre + QPointF(std::cos(angle), std::sin(angle)) * ring, dot, dot);
    }
}
