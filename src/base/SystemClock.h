#pragma once

#include <QElapsedTimer>

#include "Clock.h"

// Real time. A wait runs the event loop without user input, so windows repaint and timers
// of the link keep running while the program waits for the ECU.
class SystemClock final : public Clock {
  public:
    SystemClock();
    qint64 nowMs() const override;
    void waitMs(int ms) override;

  private:
    QElapsedTimer elapsed_;
};
