#pragma once

#include <cstdint>
#include <vector>

namespace ecu {

using Bytes = std::vector<uint8_t>;

// One decoded frame: the start byte tells requests from replies.
struct Frame {
    uint8_t sequence = 0;
    uint8_t code = 0;
    Bytes payload;
    uint16_t crc = 0;

    bool operator==(const Frame&) const = default;
};

}  // namespace ecu
