#pragma once

#include <cstddef>
#include <cstdint>

// CRC-16/CCITT-FALSE worked out bit by bit, apart from the link's own table-driven code, so
// that a fuzz target checks the CRC of a frame against something the code under test did not
// compute.
class BitwiseCrc16 {
  public:
    static uint16_t of(const uint8_t* data, size_t size) {
        uint16_t crc = 0xFFFF;
        for (size_t i = 0; i < size; ++i) {
            crc ^= static_cast<uint16_t>(data[i] << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
        return crc;
    }
};
