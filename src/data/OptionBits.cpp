#include "OptionBits.h"

std::optional<OptionBits::Bit> OptionBits::Of(int option) {
    static constexpr Bit kTable[] = {
        {0, 0x0002}, {0, 0x0200}, {0, 0x0400}, {0, 0x0800}, {0, 0x1000},
        {0, 0x4000}, {0, 0x8000}, {1, 0x0001}, {1, 0x0002}, {1, 0x0004},
        {1, 0x0008}, {0, 0x0008}, {0, 0x2000}, {0, 0x0010}, {1, 0x0010},
    };
    if (option < kLowest || option > kHighest) return std::nullopt;
    return kTable[option - kLowest];
}
