#pragma once

// The bar in front of the thermometer: empty below 0 degrees, full above 100.
class ThermometerBar {
  public:
    // full: the height of the scale from "0" to "100".
    static int Height(double degrees, int full) {
        if (degrees < 0) return 0;
        if (degrees > 100) return full;
        return static_cast<int>(degrees * full * 0.01);
    }
};
