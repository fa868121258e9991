// libFuzzer target: the frame decoders of both ends of the ECU link.
#include "FuzzLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzLink::run(data, size);
    return 0;
}
