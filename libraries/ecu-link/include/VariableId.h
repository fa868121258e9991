#pragma once

#include <cstdint>

namespace ecu {

// An ECU variable id as it travels: bits 0-7 the variable number, bit 8 an array with its
// element count in bits 12-19, bit 9 16-bit elements, bit 10 signed elements, and for a
// bit field of a scalar the shift in bits 20-23 and the width in bits 24-27. Bit 11 and
// bits 28-31 are reserved and must be 0.
class VariableId {
  public:
    explicit constexpr VariableId(uint32_t raw) : raw_(raw) {}

    static constexpr uint32_t make(int number, int count, bool wide, bool isSigned) {
        return static_cast<uint32_t>(number & 0xFF) | (count > 0 ? 0x100u : 0u) |
               (wide ? 0x200u : 0u) | (isSigned ? 0x400u : 0u) |
               (static_cast<uint32_t>(count & 0xFF) << 12);
    }

    constexpr uint32_t raw() const { return raw_; }
    constexpr int number() const { return static_cast<int>(raw_ & 0xFF); }
    constexpr bool isArray() const { return (raw_ & 0x100) != 0; }
    constexpr bool isWide() const { return (raw_ & 0x200) != 0; }
    constexpr bool isSigned() const { return (raw_ & 0x400) != 0; }
    constexpr int count() const { return static_cast<int>((raw_ >> 12) & 0xFF); }
    constexpr int shift() const { return static_cast<int>((raw_ >> 20) & 0xF); }
    constexpr int fieldWidth() const { return static_cast<int>((raw_ >> 24) & 0xF); }
    constexpr bool isBitField() const { return fieldWidth() != 0; }
    constexpr int elementBytes() const { return isWide() ? 2 : 1; }
    constexpr bool hasReservedBits() const { return (raw_ & 0xF0000800u) != 0; }

    // The elements that a read or write of the whole id moves.
    constexpr int elements() const { return isArray() ? count() : 1; }

    // Well formed for a whole-variable read or write: an array names its count, a bit field
    // sits inside a scalar's bits.
    constexpr bool isWholeVariableId() const {
        if (hasReservedBits()) return false;
        if (isArray()) return count() > 0 && !isBitField() && raw_ >> 20 == 0;
        if (count() != 0) return false;
        if (!isBitField()) return shift() == 0;
        return shift() + fieldWidth() <= 8 * elementBytes();
    }
    // Well formed for an element write: no count field and no bit field.
    constexpr bool isElementId() const { return !hasReservedBits() && (raw_ >> 12) == 0; }

  private:
    uint32_t raw_;
};

}  // namespace ecu
