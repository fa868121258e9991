#include "FuzzLink.h"

#include <algorithm>
#include <memory>
#include <set>

#include "BitwiseCrc16.h"
#include "EcuLink.h"
#include "FrameCodec.h"
#include "FrameParser.h"
#include "Protocol.h"
#include "ValueCodec.h"
#include "VirtualEcu.h"

namespace p = ecu::protocol;
using ecu::Bytes;

namespace {
// Serves the input as the ECU's replies, a piece per read; time moves on when it runs out.
class FuzzTransport final : public ecu::Transport {
  public:
    FuzzTransport(const uint8_t* data, size_t size, int64_t& now)
        : data_(data), size_(size), now_(now) {}
    std::vector<std::string> candidates(int) override { return {"fuzz"}; }
    OpenResult open(const std::string&) override { return open_ = true, OpenResult::Opened; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool healthy() override { return open_; }
    bool write(const Bytes&) override { return open_; }
    Bytes receive(int timeoutMs) override {
        if (at_ >= size_) {
            now_ += std::max(timeoutMs, 1);
            return {};
        }
        const size_t n = std::min<size_t>(1 + data_[at_] % 48, size_ - at_);
        Bytes out(data_ + at_, data_ + at_ + n);
        at_ += n;
        return out;
    }
    void discardInput() override {}
    int baudRate() const override { return p::kBaudRate; }
    std::string lastError() const override { return {}; }

  private:
    const uint8_t* data_;
    size_t size_;
    int64_t& now_;
    size_t at_ = 0;
    bool open_ = false;
};

class FuzzClock final : public ecu::LinkClock {
  public:
    explicit FuzzClock(int64_t& now) : now_(now) {}
    int64_t nowMs() override { return now_; }

  private:
    int64_t& now_;
};

void parseReplies(const uint8_t* data, size_t size) {
    ecu::FrameParser parser(p::kReplyStart, p::kMaxPayload, true);
    size_t at = 0;
    while (at < size) {
        const size_t n = std::min<size_t>(1 + data[at] % 64, size - at);
        parser.feed(data + at, n);
        at += n;
        while (auto frame = parser.next())
            if (frame->payload.size() > p::kMaxPayload) __builtin_trap();
        if (at % 3 == 0) parser.dropStalled();
    }
}

// The sequence numbers and codes of every good request frame anywhere in the input, whatever
// came before it: all that the ECU could possibly answer.
std::set<std::pair<uint8_t, uint8_t>> requestsIn(const uint8_t* data, size_t size) {
    std::set<std::pair<uint8_t, uint8_t>> out;
    for (size_t at = 0; at + p::kFrameOverhead <= size; ++at) {
        if (data[at] != p::kRequestStart) continue;
        const size_t length = data[at + 1];
        if (at + p::kFrameOverhead + length > size) continue;
        const uint8_t* crc = data + at + p::kHeaderSize + length;
        if (BitwiseCrc16::of(data + at + 1, p::kHeaderSize - 1 + length) == (crc[0] | crc[1] << 8))
            out.insert({data[at + 2], data[at + 3]});
    }
    return out;
}

// Each reply of the ECU is a whole frame with a right CRC, answering a request of the input by
// its sequence number: with the request's code and the reply flag, or as an error.
void checkReplies(const Bytes& replies, const std::set<std::pair<uint8_t, uint8_t>>& requests) {
    ecu::FrameParser parser(p::kReplyStart, p::kMaxPayload, true);
    parser.feed(replies);
    size_t bytes = 0;
    while (auto frame = parser.next()) {
        Bytes covered{static_cast<uint8_t>(frame->payload.size()), frame->sequence, frame->code};
        covered.insert(covered.end(), frame->payload.begin(), frame->payload.end());
        if (frame->crc != BitwiseCrc16::of(covered.data(), covered.size())) __builtin_trap();
        const bool error = frame->code == p::kErrorReply;
        if (!error && (frame->code & p::kReplyFlag) == 0) __builtin_trap();
        const auto asked = requests.lower_bound({frame->sequence, uint8_t{0}});
        if (asked == requests.end() || asked->first != frame->sequence) __builtin_trap();
        if (!error && !requests.contains(
                          {frame->sequence, static_cast<uint8_t>(frame->code & ~p::kReplyFlag)}))
            __builtin_trap();
        bytes += frame->payload.size() + p::kFrameOverhead;
    }
    if (bytes != replies.size()) __builtin_trap();  // nothing but whole frames
}

void feedEcu(const uint8_t* data, size_t size) {
    sim::VirtualEcu ecu({}, 0);
    const auto requests = requestsIn(data, size);
    int64_t now = 0;
    size_t at = 0;
    while (at < size) {
        const size_t n = std::min<size_t>(1 + data[at] % 96, size - at);
        checkReplies(ecu.receive(data + at, n, now), requests);
        now += data[at] % 40;
        at += n;
    }
    checkReplies(ecu.idle(now + 1000), requests);
}

void driveLink(const uint8_t* data, size_t size) {
    int64_t now = 0;
    ecu::EcuLink link(std::make_unique<FuzzTransport>(data, size, now),
                      std::make_unique<FuzzClock>(now));
    if (!link.OpenLink()) return;
    uint8_t bytes[64] = {};
    int32_t values[300] = {};
    link.ReadIdentity(bytes);
    link.ReadVariable(8963, values);
    link.ReadVariable(82176, values);
    link.ReadRow(6 * 4096 + 0x154, values, 3);
    int32_t length = 34;
    link.ReadBlock(1, bytes, &length);
    if (length < 0 || length > 34) __builtin_trap();
    bytes[0] = 84;
    int32_t status = 0;
    link.SendCommand(4, bytes, &status, 2);
    link.QueryElementSize(124, 1);
    link.WriteValue(528, 1650);
    link.ReadBootCustomer(bytes);
    link.BeginProgramming();
    const uint8_t image[4 + 8] = {8, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    link.ProgramFromBuffer(image, 2, 0, 1);
}

Bytes frame(uint8_t start, uint8_t seq, uint8_t code, const Bytes& payload) {
    return ecu::FrameCodec::encode(start, seq, code, payload);
}

Bytes u32(uint32_t v) {
    Bytes out;
    ecu::ValueCodec::appendU32(out, v);
    return out;
}

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
}  // namespace

void FuzzLink::run(const uint8_t* data, size_t size) {
    if (size < 1) return;
    switch (data[0] % kModes) {
        case kReplyParser:
            parseReplies(data + 1, size - 1);
            break;
        case kEcu:
            feedEcu(data + 1, size - 1);
            break;
        default:
            driveLink(data + 1, size - 1);
            break;
    }
}

std::vector<Bytes> FuzzLink::seeds() {
    const uint8_t R = p::kRequestStart, A = p::kReplyStart, F = p::kReplyFlag;
    std::vector<Bytes> out;

    Bytes replies{kReplyParser, 8};
    append(replies, frame(A, 1, 0x90, {0x14, 0x04, 0x01, 0x00}));
    append(replies, frame(A, 2, p::kErrorReply, {0x10, 3}));
    append(replies, frame(A, 3, 0xA0, Bytes(34, 7)));
    out.push_back(replies);

    Bytes requests{kEcu, 30};
    append(requests, frame(R, 0, p::kHello, {'Q', 'L', 1}));
    uint8_t s = 1;
    append(requests, frame(R, s++, p::kReadVariable, u32(8963)));
    Bytes write = u32(528);
    append(write, {0x72, 0x06});
    append(requests, frame(R, s++, p::kWriteValue, write));
    Bytes row = u32(6 * 4096 + 0x154);
    row.push_back(2);
    append(requests, frame(R, s++, p::kReadRow, row));
    Bytes cell = u32(1173);
    append(cell, {1, 1, 0xFD});
    append(requests, frame(R, s++, p::kWriteElement2, cell));
    append(requests, frame(R, s++, p::kReadBlock, {1}));
    append(requests, frame(R, s++, p::kCommand, {4, 0, 84, 0}));
    append(requests, frame(R, s++, p::kCommand, {19, 0, '0', '0'}));
    append(requests, frame(R, s++, p::kElementSize, {124, 1}));
    Bytes start{2, 0, 1};
    append(start, u32(8));
    append(requests, frame(R, s++, p::kProgramStart, start));
    Bytes piece = u32(0);
    append(piece, {1, 2, 3, 4, 5, 6, 7, 8});
    append(requests, frame(R, s++, p::kProgramData, piece));
    append(requests, frame(R, s++, p::kProgramEnd, u32(0x3fca88c5)));
    out.push_back(requests);

    Bytes link{kLink, 20};
    s = 0;
    append(link, frame(A, s++, p::kHello | F, {1, 255, 0}));
    append(link, frame(A, s++, p::kIdentity | F, {7, 30, 7, 4}));
    append(link, frame(A, s++, p::kReadVariable | F, {0x14, 0x04, 0x01, 0x00}));
    append(link, frame(A, s++, p::kReadVariable | F, Bytes(20, 'A')));
    append(link, frame(A, s++, p::kReadRow | F, {1, 2, 3, 4, 5, 6}));
    append(link, frame(A, s++, p::kReadBlock | F, Bytes(34, 9)));
    append(link, frame(A, s++, p::kCommand | F, {0, 6, 13}));
    append(link, frame(A, s++, p::kElementSize | F, {2}));
    append(link, frame(A, s++, p::kWriteValue | F, {}));
    append(link, frame(A, s++, p::kBootCustomer | F, {7, 1, 0, 0}));
    append(link, frame(A, s++, p::kProgramStart | F, {}));
    append(link, frame(A, s++, p::kProgramData | F, {}));
    append(link, frame(A, s++, p::kProgramEnd | F, {0, 0, 0, 0}));
    out.push_back(link);
    return out;
}
