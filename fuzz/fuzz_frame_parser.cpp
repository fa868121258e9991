// libFuzzer target: the frame parser alone, in memory, as each end of the link runs it (the
// link looks ahead past an incomplete candidate, the ECU waits for a pause). The input is cut
// into feeds; a zero byte in it stands for a pause of the line. Every frame given out must
// carry a right CRC, and the bytes held stay bounded.
#include <cstdlib>

#include "Crc16.h"
#include "FrameCodec.h"
#include "FrameParser.h"
#include "Protocol.h"

namespace {
namespace p = ecu::protocol;

void check(const ecu::Frame& frame, uint8_t start) {
    const ecu::Bytes wire =
        ecu::FrameCodec::encode(start, frame.sequence, frame.code, frame.payload);
    if (wire.empty() ||
        frame.crc != ecu::FrameCodec::crcOf(frame.sequence, frame.code, frame.payload))
        std::abort();
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
        while (auto frame = parser.next()) check(*frame, start);
        if (parser.buffered() > 4u * p::kMaxFrame) std::abort();
    }
    parser.dropStalled();
    while (auto frame = parser.next()) check(*frame, start);
    if (parser.buffered() != 0) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    run(data, size, p::kReplyStart, true);
    run(data, size, p::kRequestStart, false);
    return 0;
}
