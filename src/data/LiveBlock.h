#pragma once

#include <cstdint>
#include <span>

#include "LiveValues.h"

class TStreamDati;

// Block 1 of the ECU, the live engine data: 34 bytes, multi-byte fields little-endian. The
// fields the screens use, and their conversion with the data module's scales and curves.
class LiveBlock {
  public:
    static constexpr int32_t kNumber = 1;
    static constexpr int kSize = 34;
    // A reply shorter than this does not carry bank 2.
    static constexpr int kBank2Length = 20;

    using Bytes = std::span<const uint8_t, kSize>;

    struct Field {
        int offset;
        int width;  // bytes, 1 or 2
        bool isSigned;
    };
    static constexpr Field kSpeed{0, 2, false};
    static constexpr Field kLambda1{2, 1, false};
    static constexpr Field kMap{3, 1, false};
    static constexpr Field kGasTime1{6, 2, false};
    static constexpr Field kPetrolTime1{8, 2, false};
    static constexpr Field kStatus{11, 1, false};
    static constexpr Field kT1{12, 1, false};
    static constexpr Field kPressure{14, 2, true};  // thousandths of a bar
    static constexpr Field kT2{16, 1, false};
    static constexpr Field kLambda2{21, 1, false};
    static constexpr Field kGasTime2{24, 2, false};
    static constexpr Field kPetrolTime2{28, 2, false};

    static int32_t Read(Bytes bytes, Field field);

    // The values of a block of which length bytes came from the ECU (the rest of bytes is
    // what the buffer held before). Bank 2 is taken only when the ECU has a second probe and
    // length is at least kBank2Length; otherwise it stays as in previous.
    static LiveValues Decode(Bytes bytes, int length, const TStreamDati& data,
                             const LiveValues& previous);

    // The ECU is set for a second lambda probe (bit 2 of "Flag1" clear).
    static bool SecondProbe(const TStreamDati& data);
    // The MAP pressure in bar of a MAP byte: the internal sensor with option 12, else the
    // external sensor's slope and offset ("PendenzaMapEsterno", "OffsetMapEsterno").
    static double MapBar(int raw, const TStreamDati& data);
};
