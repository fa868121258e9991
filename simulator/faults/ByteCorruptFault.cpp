#include "ByteCorruptFault.h"

#include <algorithm>

namespace sim {

void ByteCorruptFault::pass(ecu::Bytes& bytes) {
    if (rate_ <= 0) return;
    std::bernoulli_distribution hit(std::min(rate_, 1.0));
    std::uniform_int_distribution<int> flips(1, 255);
    for (uint8_t& b : bytes)
        if (hit(random_)) b = static_cast<uint8_t>(b ^ flips(random_));
}

}  // namespace sim
