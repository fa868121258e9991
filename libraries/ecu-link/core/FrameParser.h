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
    // lookAhead: while the first candidate is incomplete, a complete good frame after it is
    // taken at once (the reader of replies, which checks every reply against its request).
    // Without it (the ECU, which executes what it reads) an incomplete candidate is given up
    // only by dropStalled() or clear().
    FrameParser(uint8_t start, int maxPayload, bool lookAhead = false);

    void feed(const uint8_t* data, size_t size);
    void feed(const Bytes& bytes) { feed(bytes.data(), bytes.size()); }
    // The next complete frame with a good CRC, if any.
    std::optional<Frame> next();
    // No byte came for a while: no candidate among the bytes held now will complete. The next
    // calls of next() give each such candidate up (its start byte only) and look again in what
    // follows it, so a good frame behind a false start is still found. Drain with next()
    // before feeding again.
    void dropStalled() { stale_ = buffer_.size(); }
    void clear() {
        buffer_.clear();
        stale_ = 0;
    }

    size_t buffered() const { return buffer_.size(); }
    size_t rejected() const { return rejected_; }

  private:
    void discardTo(size_t index);
    // The size of the good frame at index, 0 when there is none (yet).
    size_t completeAt(size_t index) const;

    uint8_t start_;
    int maxPayload_;
    bool lookAhead_;
    Bytes buffer_;
    size_t rejected_ = 0;
    size_t stale_ = 0;  // the first stale_ bytes arrived before a pause
};

}  // namespace ecu
