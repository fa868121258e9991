#include "ScreenScale.h"

#include <QGuiApplication>
#include <QScreen>

QRect ScreenScale::PrimaryGeometry() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, kDesignWidth, 600);
}

ScreenScale ScreenScale::Primary() { return ScreenScale(PrimaryGeometry().width()); }
