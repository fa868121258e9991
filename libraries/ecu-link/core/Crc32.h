#pragma once

#include <cstddef>
#include <cstdint>

namespace ecu {

// CRC-32 (IEEE 802.3, reflected, as zlib): the check of a firmware image.
class Crc32 {
  public:
    static uint32_t of(const uint8_t* data, size_t size, uint32_t crc = 0);
};

}  // namespace ecu
