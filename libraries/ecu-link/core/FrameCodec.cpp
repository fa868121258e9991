#include "FrameCodec.h"

#include "Crc16.h"
#include "Protocol.h"

namespace ecu {

Bytes FrameCodec::encode(uint8_t start, uint8_t sequence, uint8_t code, const Bytes& payload) {
    if (payload.size() > static_cast<size_t>(protocol::kMaxPayload)) return {};
    Bytes frame;
    frame.reserve(payload.size() + protocol::kFrameOverhead);
    frame.push_back(start);
    frame.push_back(static_cast<uint8_t>(payload.size()));
    frame.push_back(sequence);
    frame.push_back(code);
    frame.insert(frame.end(), payload.begin(), payload.end());
    const uint16_t crc = Crc16::of(frame.data() + 1, frame.size() - 1);
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

uint16_t FrameCodec::crcOf(uint8_t sequence, uint8_t code, const Bytes& payload) {
    Bytes body{static_cast<uint8_t>(payload.size()), sequence, code};
    body.insert(body.end(), payload.begin(), payload.end());
    return Crc16::of(body.data(), body.size());
}

}  // namespace ecu
