#pragma once

#include "Frame.h"
#include "faults/ByteCorruptFault.h"
#include "faults/ByteDropFault.h"
#include "faults/CablePullFault.h"
#include "faults/LatencyFault.h"
#include "faults/LineSpeed.h"

namespace sim {

// Everything that can go wrong between the program and the ECU, one small part per fault.
struct LineFaults {
    explicit LineFaults(uint32_t seed) : drop(seed * 2 + 1), corrupt(seed * 2 + 2) {}

    // Bytes on their way in either direction; false when the cable lets nothing through.
    bool pass(ecu::Bytes& bytes, uint64_t framesSeen) {
        if (cable.cut(framesSeen)) {
            bytes.clear();
            return false;
        }
        drop.pass(bytes);
        corrupt.pass(bytes);
        return true;
    }

    ByteDropFault drop;
    ByteCorruptFault corrupt;
    LatencyFault latency;
    CablePullFault cable;
    LineSpeed speed;
};

}  // namespace sim
