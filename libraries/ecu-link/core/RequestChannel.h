#pragma once

#include <cstdint>
#include <optional>

#include "Frame.h"
#include "FrameParser.h"
#include "LinkClock.h"
#include "LinkTiming.h"
#include "Transport.h"

namespace ecu {

// Sends one request and waits for its reply: frames it with the next sequence number, sends
// it again with the same number when no reply comes in time (the ECU answers a repeat with
// its stored reply, so retries never execute twice), and gives up within bounded time.
class RequestChannel {
  public:
    enum class Status { Ok, ErrorReply, NoReply, PortFailed, NotOpen };
    enum class Pace { Normal, Slow, Once };
    struct Result {
        Status status = Status::NotOpen;
        Bytes payload;
        uint8_t error = 0;
        bool ok() const { return status == Status::Ok; }
    };

    RequestChannel(Transport& transport, LinkClock& clock);

    Result request(uint8_t code, const Bytes& payload, Pace pace, int expectedReply);
    // The handshake: sequence 0, and the numbering starts again after it.
    Result hello(const Bytes& payload, Pace pace);

    LinkTiming& timing() { return timing_; }
    void setPolling(bool polling) { polling_ = polling; }
    // The ECU answered a moment ago (set before each request).
    void setAlive(bool alive) { alive_ = alive; }
    uint8_t lastSequence() const { return sequence_; }
    size_t rejectedFrames() const { return parser_.rejected(); }
    // Requests sent, and those of them whose reply had to be asked for again (garbled or lost
    // on the way): how disturbed the line is.
    uint32_t requestsSent() const { return requests_; }
    uint32_t repliesAskedAgain() const { return askedAgain_; }

  private:
    // Transmissions of one request when its replies come garbled, per configured attempt.
    static constexpr int kNoisyFactor = 5;
    // No frame pauses this long between its bytes.
    static constexpr int kByteGapMs = 20;

    Result exchange(uint8_t sequence, uint8_t code, const Bytes& payload, Pace pace,
                    int expectedReply);
    bool matches(const Frame& frame, uint8_t sequence, uint8_t code) const;
    // The reply to this request among the frames parsed so far, if there is one.
    std::optional<Result> replyTo(uint8_t sequence, uint8_t code);
    int wireMs(int bytes) const;

    Transport& transport_;
    LinkClock& clock_;
    FrameParser parser_;
    LinkTiming timing_;
    bool polling_ = false;
    bool alive_ = false;
    uint8_t sequence_ = 0;
    uint32_t requests_ = 0;
    uint32_t askedAgain_ = 0;
};

}  // namespace ecu
