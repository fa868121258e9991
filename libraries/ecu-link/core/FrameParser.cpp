#include "FrameParser.h"

#include <algorithm>

#include "Crc16.h"
#include "Protocol.h"

namespace ecu {

FrameParser::FrameParser(uint8_t start, int maxPayload)
    : start_(start), maxPayload_(std::clamp(maxPayload, 0, protocol::kMaxPayload)) {}

void FrameParser::feed(const uint8_t* data, size_t size) {
    if (data == nullptr) return;
    const size_t limit = 4 * static_cast<size_t>(protocol::kMaxFrame);
    for (size_t i = 0; i < size; ++i) {
        // Only bytes from a start byte on can matter; garbage before it is never kept.
        if (buffer_.empty() && data[i] != start_) continue;
        buffer_.push_back(data[i]);
        // Callers drain with next() after each feed; a caller that does not loses the
        // oldest bytes, never memory.
        if (buffer_.size() > limit) discardTo(buffer_.size() - limit);
    }
}

std::optional<Frame> FrameParser::next() {
    for (;;) {
        const auto begin = std::find(buffer_.begin(), buffer_.end(), start_);
        discardTo(static_cast<size_t>(begin - buffer_.begin()));
        if (buffer_.size() < 2) return std::nullopt;
        const int length = buffer_[1];
        if (length > maxPayload_) {
            ++rejected_;
            discardTo(1);
            continue;
        }
        const size_t total = static_cast<size_t>(length) + protocol::kFrameOverhead;
        if (buffer_.size() < total) return std::nullopt;
        const uint16_t crc = Crc16::of(buffer_.data() + 1, total - 1 - protocol::kCrcSize);
        const uint16_t sent =
            static_cast<uint16_t>(buffer_[total - 2] | (buffer_[total - 1] << 8));
        if (crc != sent) {
            ++rejected_;
            discardTo(1);
            continue;
        }
        Frame frame;
        frame.sequence = buffer_[2];
        frame.code = buffer_[3];
        frame.payload.assign(buffer_.begin() + protocol::kHeaderSize,
                             buffer_.begin() + protocol::kHeaderSize + length);
        frame.crc = crc;
        discardTo(total);
        return frame;
    }
}

void FrameParser::dropStalled() {
    if (!buffer_.empty()) {
        ++rejected_;
        discardTo(1);
    }
}

void FrameParser::discardTo(size_t index) {
    buffer_.erase(buffer_.begin(),
                  buffer_.begin() + static_cast<long>(std::min(index, buffer_.size())));
}

}  // namespace ecu
