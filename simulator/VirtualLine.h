#pragma once

#include <deque>
#include <optional>

#include "LineFaults.h"
#include "VirtualEcu.h"

namespace sim {

// The line between the link and a VirtualEcu in virtual time: bytes reach the ECU at once
// (after the line's faults), the ECU's reply becomes readable after the latency and, with a
// baud set, after its wire time.
class VirtualLine {
  public:
    explicit VirtualLine(VirtualEcu& ecu, uint32_t seed = 7) : ecu_(ecu), faults_(seed) {}

    void send(const ecu::Bytes& bytes, int64_t nowMs);
    // The reply bytes readable at nowMs.
    ecu::Bytes take(int64_t nowMs);
    std::optional<int64_t> nextReadyMs() const;
    void discard() { pending_.clear(); }

    LineFaults& faults() { return faults_; }
    VirtualEcu& ecu() { return ecu_; }

  private:
    // Queues the ECU's reply bytes, sent back at sentMs, after the line's faults.
    void queueReply(ecu::Bytes reply, int64_t sentMs);
    // The ECU looks again at a request stalled behind a false start once the bytes paused.
    void checkStall(int64_t nowMs);

    struct Pending {
        int64_t readyMs;
        ecu::Bytes bytes;
    };

    VirtualEcu& ecu_;
    LineFaults faults_;
    std::deque<Pending> pending_;
};

}  // namespace sim
