#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "LiveBlock.h"
#include "LiveValues.h"

class TStreamDati;

// One screen's poll of the live-data block: the screen's timer calls Tick, which runs one
// cycle on the link (IsConnected, EnterPollingMode, ReadBlock of block 1) and, when the read
// fails, the recovery: Connect at once, else every 500 ms for up to 4 s; after a
// reconnection LeavePollingMode and a second read, decoded whatever it returns. Every wait
// goes through the clock.
//
// Link calls never nest: a tick that comes while a cycle runs (the waits let timers run) or
// while the screen's link-lost message is open is held back and does nothing.
class LiveDataReader {
  public:
    enum class Outcome {
        Block,     // a block was read (or the read after a reconnection): Values() are new
        NoLink,    // the link is not open: nothing was read, Values() are the last ones
        LinkLost,  // the read failed and the ECU did not come back; the message was shown
        HeldBack,  // a cycle or the link-lost message is in progress: nothing was done
    };

    static constexpr int kRetryMs = 500;
    static constexpr int kRecoveryMs = 4000;

    // Shows the screen's link-lost message (text 44, titled with the screen's caption); its
    // ticks are held back until it returns.
    using LinkLostMessage = std::function<void()>;

    LiveDataReader(TStreamDati& data, LinkLostMessage showLinkLost);

    Outcome Tick();

    // The values of the last block read.
    const LiveValues& Values() const { return values_; }
    // The bytes the last read delivered, 0..34.
    int Length() const { return length_; }

  private:
    bool readBlock();
    bool recover();

    TStreamDati& data_;
    LinkLostMessage showLinkLost_;
    // Kept between reads: bytes a short reply does not deliver are the last block's.
    std::array<uint8_t, LiveBlock::kSize> bytes_{};
    int length_ = 0;
    LiveValues values_;
    bool busy_ = false;
};
