// The base-configuration library. Its exports are plain C functions so that the program,
// built separately, resolves them by name.
#include <cstdint>

#define CONFIGBASE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
// The base configurations arrive as resources numbered from 1; none are compiled in yet.
constexpr int32_t kDefaultResource = 1;
}  // namespace

CONFIGBASE_EXPORT int32_t _GetResourceId(int32_t, int32_t, int32_t, int32_t) {
    return kDefaultResource;
}

CONFIGBASE_EXPORT int32_t _GetCalibratingId(int32_t, int32_t, int32_t, int32_t) {
    return kDefaultResource;
}

CONFIGBASE_EXPORT int32_t _GetResource(int32_t, const uint8_t** data, int32_t* size) {
    if (data) *data = nullptr;
    if (size) *size = 0;
    return 0;
}
