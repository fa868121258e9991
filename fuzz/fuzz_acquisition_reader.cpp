// libFuzzer target: the reader of acquisition recordings on bytes in memory. A file is read
// whole or not at all: an invalid one leaves no records; a read one has a version and no more
// records than lines, each value finite. What it read, written again as the recorder writes,
// reads back record for record: once written (six digits, whole degrees) a record no longer
// changes.
#include <cmath>
#include <cstdlib>

#include "AcquisitionFormat.h"
#include "AcquisitionReader.h"

namespace {
using Recording = AcquisitionReader::Recording;

QByteArray written(const Recording& recording) {
    QByteArray file = AcquisitionFormat::Header(recording.version, QStringLiteral("fuzz")) +
                      AcquisitionFormat::kLineEnd + AcquisitionFormat::Headings(recording.version);
    for (const AcquisitionRecord& r : recording.records)
        file += AcquisitionFormat::kLineEnd + AcquisitionFormat::Record(r, recording.version);
    return file;
}

Recording readBack(const Recording& recording) {
    Recording again;
    if (AcquisitionReader::Parse(written(recording), again) != AcquisitionReader::Result::Read ||
        again.version != recording.version || again.records.size() != recording.records.size())
        std::abort();
    return again;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Recording recording;
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

    const Recording once = readBack(recording);
    for (size_t i = 0; i < once.records.size(); ++i)
        if (once.records[i].time != recording.records[i].time ||
            once.records[i].rpm != recording.records[i].rpm)
            std::abort();
    if (readBack(once).records != once.records) std::abort();
    return 0;
}
