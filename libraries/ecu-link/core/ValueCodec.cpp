#include "ValueCodec.h"

namespace ecu {

bool ValueCodec::fits(int32_t value, bool wide, bool isSigned) {
    const int32_t low = isSigned ? (wide ? -32768 : -128) : 0;
    const int32_t high = isSigned ? (wide ? 32767 : 127) : (wide ? 65535 : 255);
    return value >= low && value <= high;
}

bool ValueCodec::append(Bytes& out, int32_t value, bool wide, bool isSigned) {
    if (!fits(value, wide, isSigned)) return false;
    const auto bits = static_cast<uint32_t>(value);
    out.push_back(static_cast<uint8_t>(bits & 0xFF));
    if (wide) out.push_back(static_cast<uint8_t>((bits >> 8) & 0xFF));
    return true;
}

int32_t ValueCodec::read(const uint8_t* at, bool wide, bool isSigned) {
    if (!wide) return isSigned ? static_cast<int8_t>(at[0]) : at[0];
    const auto bits = static_cast<uint16_t>(at[0] | (at[1] << 8));
    return isSigned ? static_cast<int16_t>(bits) : bits;
}

void ValueCodec::appendU32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t ValueCodec::readU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

}  // namespace ecu
