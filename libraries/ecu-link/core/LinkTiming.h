#pragma once

#include <algorithm>

namespace ecu {

// How long the link waits and how often it tries; set by the four ConfigureLink calls.
struct LinkTiming {
    int attempts = 5;              // transmissions of one request, the first included
    int deadlineMs = 600;          // no ordinary request takes longer, all attempts included
    int replyTimeoutMs = 30;       // wait for a reply, on top of the wire time of the bytes
    int slowReplyTimeoutMs = 600;  // the same for requests that commit memory or flash
    double scale = 1.0;            // stretches every wait (slow test machines)

    int scaled(int ms) const { return static_cast<int>(ms * std::clamp(scale, 1.0, 50.0)); }
};

}  // namespace ecu
