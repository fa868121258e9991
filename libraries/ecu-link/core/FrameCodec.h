#pragma once

#include "Frame.h"

namespace ecu {

// Frame layout: start, length (of the payload), sequence, code, payload, CRC-16 (low byte
// first) over length, sequence, code and payload.
class FrameCodec {
  public:
    // A payload longer than protocol::kMaxPayload is refused with an empty result.
    static Bytes encode(uint8_t start, uint8_t sequence, uint8_t code, const Bytes& payload);
    static uint16_t crcOf(uint8_t sequence, uint8_t code, const Bytes& payload);
};

}  // namespace ecu
