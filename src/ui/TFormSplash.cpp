#include "TFormSplash.h"

#include <QLabel>

#include "Clock.h"
#include "ProductLogo.h"
#include "ScreenScale.h"

TFormSplash::TFormSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      imageLogo_(new QLabel(this)) {
    const ScreenScale scale = ScreenScale::Primary();
    setFixedSize(scale(313), scale(220));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    imageLogo_->setGeometry(rect());
    imageLogo_->setPixmap(ProductLogo::Render(size()));
    move(ScreenScale::PrimaryGeometry().center() - rect().center());
}

void TFormSplash::ShowNow() {
    show();
    repaint();
}

void TFormSplash::Finish() {
    activateWindow();
    setFocus();
    Clock::current().waitMs(kShowMs);
    close();
}
