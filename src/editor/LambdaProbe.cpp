#include "LambdaProbe.h"

namespace {
// Stored codes of the probe types; the last one is never offered by the list.
constexpr std::array<int32_t, 5> kCodes = {2, 40, 25, 4, 136};
// Writing order: RifLambda, RifInfSondaFredda, RifSupSondaFredda, RifInfSondaCalda,
// RifSupSondaCalda, LivelloBasso, LivelloAlto.
constexpr std::array<int, LambdaProbe::kParameters> kWriteOrder = {5, 9, 8, 11, 10, 72, 71};
constexpr double kVolts[5][LambdaProbe::kParameters] = {
    {0.55, 0.3, 0.6, 0.3, 0.6, 0.1, 0.8},  // 0 - 1 Volt
    {2.5, 2.0, 3.0, 2.0, 3.0, 0.0, 4.9},   // 0 - 5 Volt
    {2.5, 2.0, 3.0, 2.0, 3.0, 0.0, 4.9},   // 5 - 0 Volt
    {1.35, 1.1, 1.4, 1.1, 1.4, 0.8, 1.6},  // 0.8 - 1.6 Volt
    {2.5, 2.0, 3.0, 2.0, 3.0, 0.0, 4.9},   // code 136
};

int positionOf(int32_t stored) {
    const int32_t type = stored & ~LambdaProbe::kIgnoredBit;
    for (size_t i = 0; i < kCodes.size(); ++i)
        if (kCodes[i] == type) return static_cast<int>(i);
    return -1;
}
}  // namespace

int LambdaProbe::EntryOf(int32_t stored) {
    const int position = positionOf(stored);
    return position < kEntries ? position : -1;
}

std::optional<LambdaProbe::Defaults> LambdaProbe::DefaultsOf(int32_t stored) {
    const int position = positionOf(stored);
    if (position < 0) return std::nullopt;
    Defaults defaults{};
    for (size_t i = 0; i < defaults.size(); ++i)
        defaults[i] = {kWriteOrder[i], kVolts[position][i]};
    return defaults;
}
