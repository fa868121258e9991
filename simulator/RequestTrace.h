#pragma once

#include <string>

#include "Frame.h"

namespace sim {

// A request as one line of text: the link operation that sends it, then its variable id or
// arguments in decimal, e.g. "ReadVariable 8963" or "WriteElement 37 0 155".
class RequestTrace {
  public:
    static std::string line(const ecu::Frame& request);
    static std::string operation(uint8_t code);
};

}  // namespace sim
