#include "RequestChannel.h"

#include <algorithm>

#include "FrameCodec.h"
#include "Protocol.h"

namespace ecu {

RequestChannel::RequestChannel(Transport& transport, LinkClock& clock)
    : transport_(transport),
      clock_(clock),
      parser_(protocol::kReplyStart, protocol::kMaxPayload, true) {}

RequestChannel::Result RequestChannel::request(uint8_t code, const Bytes& payload, Pace pace,
                                               int expectedReply) {
    sequence_ = static_cast<uint8_t>(sequence_ == 255 ? 1 : sequence_ + 1);
    return exchange(sequence_, code, payload, pace, expectedReply);
}

RequestChannel::Result RequestChannel::hello(const Bytes& payload, Pace pace) {
    sequence_ = protocol::kHelloSequence;
    return exchange(protocol::kHelloSequence, protocol::kHello, payload, pace, 3);
}

int RequestChannel::wireMs(int bytes) const {
    const int baud = std::max(300, transport_.baudRate());
    return (bytes * protocol::kBitsPerByte * 1000 + baud - 1) / baud;
}

bool RequestChannel::matches(const Frame& frame, uint8_t sequence, uint8_t code) const {
    if (frame.sequence != sequence) return false;
    if (frame.code == (code | protocol::kReplyFlag)) return true;
    return frame.code == protocol::kErrorReply && frame.payload.size() == 2 &&
           frame.payload[0] == code;
}

std::optional<RequestChannel::Result> RequestChannel::replyTo(uint8_t sequence, uint8_t code) {
    while (auto reply = parser_.next()) {
        if (!matches(*reply, sequence, code)) continue;
        if (reply->code == protocol::kErrorReply)
            return Result{Status::ErrorReply, {}, reply->payload[1]};
        return Result{Status::Ok, std::move(reply->payload), 0};
    }
    return std::nullopt;
}

RequestChannel::Result RequestChannel::exchange(uint8_t sequence, uint8_t code,
                                                const Bytes& payload, Pace pace,
                                                int expectedReply) {
    if (!transport_.isOpen()) return {Status::NotOpen, {}, 0};
    const Bytes frame = FrameCodec::encode(protocol::kRequestStart, sequence, code, payload);
    if (frame.empty()) return {Status::NotOpen, {}, 0};
    // Bytes still on their way belong to requests already given up.
    transport_.discardInput();
    parser_.clear();

    int attempts = pace == Pace::Once ? 1 : std::clamp(timing_.attempts, 1, 20);
    if (polling_) attempts = std::min(attempts, 2);
    // A reply that came garbled shows a live ECU on a noisy line: it is sent again at once
    // and costs no attempt, up to this many in all, within the request's deadline.
    const int maxTransmissions = attempts * kNoisyFactor;
    // An ECU that answered a moment ago is alive: silence now is a request the line spoiled,
    // and an ordinary request keeps trying until its deadline.
    if (alive_ && pace == Pace::Normal && !polling_) attempts = maxTransmissions;
    const int wait =
        timing_.scaled(pace == Pace::Slow ? timing_.slowReplyTimeoutMs : timing_.replyTimeoutMs);
    expectedReply = std::clamp(expectedReply, 0, static_cast<int>(protocol::kMaxPayload));
    const int wire =
        wireMs(static_cast<int>(frame.size()) + expectedReply + protocol::kFrameOverhead);
    const int64_t start = clock_.nowMs();
    const int64_t deadline = start + timing_.scaled(timing_.deadlineMs);

    int silent = 0;
    ++requests_;
    for (int sent = 0; silent < attempts && sent < maxTransmissions; ++sent) {
        if (sent > 0 && pace == Pace::Normal && clock_.nowMs() >= deadline) break;
        if (sent == 1) ++askedAgain_;
        if (!transport_.write(frame) || !transport_.healthy()) return {Status::PortFailed, {}, 0};
        int64_t attemptEnd = clock_.nowMs() + wait + wire;
        if (pace == Pace::Normal)
            attemptEnd = std::min(attemptEnd, std::max(deadline, start + wait + wire));
        const size_t rejectedBefore = parser_.rejected();
        for (;;) {
            if (auto result = replyTo(sequence, code)) return *result;
            if (parser_.rejected() > rejectedBefore && parser_.buffered() == 0) break;
            const int64_t left = attemptEnd - clock_.nowMs();
            if (left <= 0) break;
            const Bytes got = transport_.receive(static_cast<int>(std::min<int64_t>(
                left, parser_.buffered() > 0 ? timing_.scaled(kByteGapMs) : left)));
            if (!transport_.healthy()) return {Status::PortFailed, {}, 0};
            // Bytes that stop coming in the middle of a candidate: a false start.
            if (got.empty() && parser_.buffered() > 0) parser_.dropStalled();
            parser_.feed(got);
        }
        if (parser_.rejected() == rejectedBefore) ++silent;
        parser_.dropStalled();
        if (auto result = replyTo(sequence, code)) return *result;
    }
    return {Status::NoReply, {}, 0};
}

}  // namespace ecu
