#include "DisturbedLine.h"

std::optional<int> DisturbedLine::Check(const std::optional<Counts>& before,
                                        const std::optional<Counts>& after) {
    if (told_ || !before || !after) return std::nullopt;
    // Unsigned differences stay right across a counter's wrap.
    const uint32_t requests = after->requests - before->requests;
    const uint32_t askedAgain = after->askedAgain - before->askedAgain;
    if (requests == 0 || askedAgain > requests) return std::nullopt;
    if (uint64_t{askedAgain} * 100 <= uint64_t{requests} * kWarnAbovePercent) return std::nullopt;
    told_ = true;
    return static_cast<int>((uint64_t{askedAgain} * 100 + requests / 2) / requests);
}
