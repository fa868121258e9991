#pragma once

#include <cstdint>
#include <vector>

#include "CatalogueRow.h"
#include "TemperatureCurve.h"

// The defaults of the catalogue rows. Some depend on what the transfer settled before them:
// the timer resolution, the temperature curves and the K-map column count.
class DefaultValues {
  public:
    struct Context {
        int32_t tick;
        const TemperatureCurve& gas;
        const TemperatureCurve& engine;
        int kColumns;
    };

    static constexpr const char* kDescription = "Standard";
    static constexpr int32_t kHeaderFlags = 128;  // bit 7: official

    // One raw value per store element of the row.
    static std::vector<int32_t> Of(const CatalogueRow& row, const Context& context);
    // The default K map: 13 lines of 12.
    static int32_t KMap(int line, int column);
    // The four references of level sensor type 0, 1 or 2; none for other types.
    static std::vector<int32_t> LevelReferences(int type);
};
