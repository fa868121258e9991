#include "ByteDropFault.h"

#include <algorithm>

namespace sim {

void ByteDropFault::pass(ecu::Bytes& bytes) {
    if (rate_ <= 0) return;
    std::bernoulli_distribution lost(std::min(rate_, 1.0));
    bytes.erase(std::remove_if(bytes.begin(), bytes.end(), [&](uint8_t) { return lost(random_); }),
                bytes.end());
}

}  // namespace sim
