#pragma once

#include <cstdint>

#include "Frame.h"

namespace ecu {

// Element values on the wire: 1 or 2 bytes, low byte first.
class ValueCodec {
  public:
    // Appends value in the element's width; false (nothing appended) when it does not fit.
    static bool append(Bytes& out, int32_t value, bool wide, bool isSigned);
    static int32_t read(const uint8_t* at, bool wide, bool isSigned);
    static bool fits(int32_t value, bool wide, bool isSigned);

    static void appendU32(Bytes& out, uint32_t value);
    static uint32_t readU32(const uint8_t* at);
};

}  // namespace ecu
