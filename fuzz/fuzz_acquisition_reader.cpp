// libFuzzer target: the reader of acquisition recordings on bytes in memory. A file is read
// whole or not at all: an invalid one leaves no records; a read one has a version and no more
// records than lines, each value finite.
#include <cmath>
#include <cstdlib>

#include "AcquisitionReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    AcquisitionReader::Recording recording;
    const auto result = AcquisitionReader::Parse(text, recording);
    if (result == AcquisitionReader::Result::Missing) std::abort();
    if (result == AcquisitionReader::Result::Invalid) {
        if (!recording.records.empty()) std::abort();
        return 0;
    }
    if (static_cast<qsizetype>(recording.records.size()) > text.count('\n') + 1) std::abort();
    for (const AcquisitionRecord& r : recording.records)
        for (double v : {r.lambda1, r.gasTime1, r.petrolTime1, r.pressure, r.reducerTemp,
                         r.engineTemp, r.lambda2, r.gasTime2, r.petrolTime2})
            if (!std::isfinite(v)) std::abort();
    return 0;
}
