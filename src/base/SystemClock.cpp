#include "SystemClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

SystemClock::SystemClock() { elapsed_.start(); }

qint64 SystemClock::nowMs() const { return elapsed_.elapsed(); }

void SystemClock::waitMs(int ms) {
    if (ms <= 0) return;
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    // Timers and paints go on; keys and clicks wait until the program is ready for them.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
