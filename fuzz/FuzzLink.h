#pragma once

#include <cstddef>
#include <cstdint>

#include "Frame.h"

// The three decoders that read bytes from the outside, driven by one input: its first byte
// picks the reader of replies (the link's parser), the ECU (its parser and every request
// handler), or the link object taking the input as everything the ECU ever says.
class FuzzLink {
  public:
    enum Mode : uint8_t { kReplyParser = 0, kEcu = 1, kLink = 2, kModes = 3 };
    static void run(const uint8_t* data, size_t size);
    // Inputs with right CRCs for each mode, to start the search from.
    static std::vector<ecu::Bytes> seeds();
};
