#pragma once

#include <cstddef>
#include <cstdint>

namespace ecu {

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection, no final XOR.
// Check value: "123456789" -> 0x29B1.
class Crc16 {
  public:
    static uint16_t of(const uint8_t* data, size_t size, uint16_t crc = 0xFFFF);
};

}  // namespace ecu
