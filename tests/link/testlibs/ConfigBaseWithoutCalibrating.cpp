// A base-configuration library that lacks _GetCalibratingId: the program must refuse it.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t _GetResourceId(int32_t, int32_t, int32_t,
                                                                         int32_t) {
    return 1;
}
