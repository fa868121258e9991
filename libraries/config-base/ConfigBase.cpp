// The base-configuration library. Its exports are plain C functions so that the program,
// built separately, resolves them by name.
#include <cstdint>

#include "BaseResources.h"

#define CONFIGBASE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
// Anything outside the table gets the standard configuration, so that every call hands
// back a resource that exists: the program uses the number without a test.
constexpr int32_t kStandardResource = 1;

struct Choice {
    int32_t fuel;  // 0 LPG, 1 CNG
    int32_t injectorType;
    int32_t resource;
};
constexpr Choice kChoices[] = {
    {0, 0, 10},
    {0, 1, 11},
    {1, 0, 20},
    {1, 1, 21},
};

// Every customer of this kit shares the base configurations.
int32_t Choose(int32_t fuel, int32_t injectorType) {
    for (const Choice& choice : kChoices)
        if (choice.fuel == fuel && choice.injectorType == injectorType) return choice.resource;
    return kStandardResource;
}
}  // namespace

// (fuel, 0, injector type, customer code) -> resource number. The second argument is
// always 0; the customer does not change the choice.
CONFIGBASE_EXPORT int32_t _GetResourceId(int32_t fuel, int32_t, int32_t injectorType, int32_t) {
    return Choose(fuel, injectorType);
}

// The configuration to start a calibration from: the same choice.
CONFIGBASE_EXPORT int32_t _GetCalibratingId(int32_t fuel, int32_t, int32_t injectorType, int32_t) {
    return Choose(fuel, injectorType);
}

// Resource "#256" number: its scrambled bytes. 1 when found.
CONFIGBASE_EXPORT int32_t _GetResource(int32_t number, const uint8_t** data, int32_t* size) {
    if (data) *data = nullptr;
    if (size) *size = 0;
    for (int32_t i = 0; i < kBaseResourceCount; ++i) {
        if (kBaseResources[i].number != number) continue;
        if (data) *data = kBaseResources[i].data;
        if (size) *size = kBaseResources[i].size;
        return 1;
    }
    return 0;
}

// The number of the index-th resource (0-based), 0 past the last: for listing them.
CONFIGBASE_EXPORT int32_t _GetResourceNumber(int32_t index) {
    return (index >= 0 && index < kBaseResourceCount) ? kBaseResources[index].number : 0;
}
