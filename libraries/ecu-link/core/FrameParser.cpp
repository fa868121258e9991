#include "FrameParser.h"

#include <algorithm>

#include "Crc16.h"
#include "Protocol.h"

namespace ecu {

FrameParser::FrameParser(uint8_t start, int maxPayload, bool lookAhead)
    : start_(start),
      maxPayload_(std::clamp(maxPayload, 0, protocol::kMaxPayload)),
      lookAhead_(lookAhead) {}

size_t FrameParser::completeAt(size_t index) const {
    if (buffer_.size() < index + 2 || buffer_[index] != start_) return 0;
    const int length = buffer_[index + 1];
    const size_t total = static_cast<size_t>(length) + protocol::kFrameOverhead;
    if (length > maxPayload_ || buffer_.size() - index < total) return 0;
    const uint16_t crc = Crc16::of(buffer_.data() + index + 1, total - 1 - protocol::kCrcSize);
    const size_t end = index + total;
    return crc == static_cast<uint16_t>(buffer_[end - 2] | (buffer_[end - 1] << 8)) ? total : 0;
}

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
        if (buffer_.size() < 2) {
            if (stale_ == 0 || buffer_.empty()) return std::nullopt;
            ++rejected_;  // a start byte alone before a pause
            discardTo(1);
            continue;
        }
        const int length = buffer_[1];
        if (length > maxPayload_) {
            ++rejected_;
            discardTo(1);
            continue;
        }
        const size_t total = static_cast<size_t>(length) + protocol::kFrameOverhead;
        if (buffer_.size() < total) {
            if (stale_ > 0) {  // its bytes stopped coming: a false start
                ++rejected_;
                discardTo(1);
                continue;
            }
            if (!lookAhead_) return std::nullopt;
            size_t later = 1;
            while (later < buffer_.size() && completeAt(later) == 0) ++later;
            if (later >= buffer_.size()) return std::nullopt;
            ++rejected_;
            discardTo(later);
            continue;
        }
        const uint16_t crc = Crc16::of(buffer_.data() + 1, total - 1 - protocol::kCrcSize);
        const uint16_t sent = static_cast<uint16_t>(buffer_[total - 2] | (buffer_[total - 1] << 8));
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

void FrameParser::discardTo(size_t index) {
    index = std::min(index, buffer_.size());
    stale_ -= std::min(stale_, index);
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(index));
}

}  // namespace ecu
