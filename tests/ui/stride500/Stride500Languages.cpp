// A language library for tests: three languages of stride 500. String 37 of each block
// names its own resource id, so a test sees which id the program asked for; the other
// program texts are absent.
#include <cstdint>
#include <cstdio>

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
constexpr int32_t kStride = 500;
constexpr int8_t kLanguages = 3;
}  // namespace

TEST_EXPORT void _MaxLanguages(int8_t* count) { *count = kLanguages; }
TEST_EXPORT void _MaxStrings(int32_t* count) { *count = kStride; }

TEST_EXPORT int32_t _GetString(int32_t id, char* buffer, int32_t size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    const int32_t block = id / kStride;
    const int32_t number = id % kStride;
    if (id < 0 || block >= kLanguages) return 0;
    int written = 0;
    switch (number) {
        case 0:
            written = std::snprintf(buffer, size, "Lingua %d", block);
            break;
        case 1:
            written = std::snprintf(buffer, size, "%d", 161 + block);
            break;
        case 2:
            written = std::snprintf(buffer, size, "%d", 1250 + block);
            break;
        case 37:
            written = std::snprintf(buffer, size, "id %d", id);
            break;
        default:
            return 0;
    }
    return written < size ? written : size - 1;
}
