#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor(Qt::CursorShape shape) {
    QGuiApplication::setOverrideCursor(QCursor(shape));
}

BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
