#pragma once

#include <Qt>

// The hourglass for the lifetime of a scope.
class BusyCursor {
  public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
