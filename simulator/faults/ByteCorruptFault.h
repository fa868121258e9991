#pragma once

#include <random>

#include "Frame.h"

namespace sim {

// Changes bytes on the line (one to eight bits flipped), each with the given probability.
class ByteCorruptFault {
  public:
    explicit ByteCorruptFault(uint32_t seed) : random_(seed) {}
    void setRate(double rate) { rate_ = rate; }
    double rate() const { return rate_; }
    void pass(ecu::Bytes& bytes);

  private:
    std::mt19937 random_;
    double rate_ = 0;
};

}  // namespace sim
