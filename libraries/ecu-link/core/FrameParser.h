#pragma once

#include <cstddef>
#include <optional>

#include "Frame.h"

namespace ecu {

// Finds the frames of one direction in a byte stream. A candidate whose CRC fails costs only
// its start byte: the search resumes at the next byte, so a good frame that begins inside the
// bad one's length is still found. Memory stays bounded whatever comes in: callers drain with
// next() after each feed, and the oldest bytes beyond a few maximal frames are dropped.
class FrameParser {
public:
    explicit FrameParser(uint8_t start, int maxPayload);

    void feed(const uint8_t* data, size_t size);
    void feed(const Bytes& bytes) { feed(bytes.data(), bytes.size()); }
    // The next complete frame with a good CRC, if any.
    std::optional<Frame> next();
    // No byte came for a while: an incomplete candidate will not complete, so give up its
    // start byte and look again in what follows it.
    void dropStalled();
    void clear() { buffer_.clear(); }

    size_t buffered() const { return buffer_.size(); }
    size_t rejected() const { return rejected_; }

private:
    void discardTo(size_t index);

    uint8_t start_;
    int maxPayload_;
    Bytes buffer_;
    size_t rejected_ = 0;
};

}  // namespace ecu
