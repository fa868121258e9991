#pragma once

#include <string>

// USB-serial adapters hold received bytes back for their latency timer (16 ms by default on
// Linux), which caps round trips near 60 per second. Where the driver lets us, set it to 1 ms.
class UsbLatency {
  public:
    // true when the timer of the device (e.g. /dev/ttyUSB0) is now 1 ms.
    static bool lower(const std::string& device);
};
