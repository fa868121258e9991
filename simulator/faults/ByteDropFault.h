#pragma once

#include <random>

#include "Frame.h"

namespace sim {

// Loses bytes on the line, each with the given probability.
class ByteDropFault {
  public:
    explicit ByteDropFault(uint32_t seed) : random_(seed) {}
    void setRate(double rate) { rate_ = rate; }
    double rate() const { return rate_; }
    void pass(ecu::Bytes& bytes);

  private:
    std::mt19937 random_;
    double rate_ = 0;
};

}  // namespace sim
