#pragma once

#include <QByteArray>
#include <cstdint>
#include <span>

// Texts the program keeps out of plain sight: stored as byte differences, so that neither
// the key of the configuration files nor the product texts can be read from the binary.
class HiddenText {
  public:
    // out[0] = in[0], out[i] = out[i-1] + in[i] (8-bit); stops at the first decoded zero
    // and never reads past the table.
    static QByteArray decode(std::span<const uint8_t> differences);
    // The inverse, with the terminating zero: for writing new tables.
    static QByteArray encode(const QByteArray& text);
};
