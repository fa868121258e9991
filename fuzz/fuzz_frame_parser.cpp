// libFuzzer target: the frame parser alone, in memory, as each end of the link runs it (the
// link looks ahead past an incomplete candidate, the ECU waits for a pause). The input is cut
// into feeds; a zero byte in it stands for a pause of the line. Every frame given out must
// carry a right CRC, the bytes held stay bounded, and a good frame sent after the input's
// bytes comes out.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "BitwiseCrc16.h"
#include "FrameCodec.h"
#include "FrameParser.h"
#include "Protocol.h"

namespace {
namespace p = ecu::protocol;

// The frame as it travels, start byte first, CRC worked out apart.
void check(const ecu::Frame& frame) {
    if (frame.payload.size() > static_cast<size_t>(p::kMaxPayload)) std::abort();
    std::vector<uint8_t> covered{static_cast<uint8_t>(frame.payload.size()), frame.sequence,
                                 frame.code};
    covered.insert(covered.end(), frame.payload.begin(), frame.payload.end());
    if (frame.crc != BitwiseCrc16::of(covered.data(), covered.size())) std::abort();
}

std::vector<ecu::Frame> drain(ecu::FrameParser& parser) {
    std::vector<ecu::Frame> out;
    while (auto frame = parser.next()) {
        check(*frame);
        out.push_back(*frame);
    }
    return out;
}

// A good frame made from the input's first bytes, sent after everything else. The reader of
// replies takes it at once, the ECU after a pause; only a good frame that began in the input
// and took the sent one's first bytes into its own (a CRC that happens to match) may hide it.
void sendAfter(ecu::FrameParser& parser, const uint8_t* data, size_t size, uint8_t start,
               bool lookAhead) {
    ecu::Frame sent;
    sent.sequence = static_cast<uint8_t>(size);
    sent.code = 0x42;
    sent.payload.assign(data, data + std::min<size_t>(size, 6));
    sent.crc = ecu::FrameCodec::crcOf(sent.sequence, sent.code, sent.payload);
    parser.feed(ecu::FrameCodec::encode(start, sent.sequence, sent.code, sent.payload));
    std::vector<ecu::Frame> out = drain(parser);
    if (!lookAhead) {
        parser.dropStalled();
        const std::vector<ecu::Frame> more = drain(parser);
        out.insert(out.end(), more.begin(), more.end());
    }
    // The frame sent, or else the good frame that swallowed its first bytes (each frame given
    // out has passed the CRC check): never nothing.
    if (out.empty()) std::abort();
}

void run(const uint8_t* data, size_t size, uint8_t start, bool lookAhead) {
    ecu::FrameParser parser(start, p::kMaxPayload, lookAhead);
    size_t at = 0;
    while (at < size) {
        // The first byte of each piece says how long the piece is, or that the line paused.
        const size_t piece = std::min<size_t>(size - at - 1, data[at] == 0 ? 0 : data[at] * 4);
        if (data[at] == 0) parser.dropStalled();
        parser.feed(data + at + 1, piece);
        at += 1 + piece;
        drain(parser);
        if (parser.buffered() > 4u * p::kMaxFrame) std::abort();
    }
    sendAfter(parser, data, size, start, lookAhead);
    parser.dropStalled();
    drain(parser);
    if (parser.buffered() != 0) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    run(data, size, p::kReplyStart, true);
    run(data, size, p::kRequestStart, false);
    return 0;
}
