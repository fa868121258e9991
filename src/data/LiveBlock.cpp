#include "LiveBlock.h"

#include "Catalogue.h"
#include "TStreamDati.h"
#include "TimeBase.h"
#include "ValueAccess.h"

namespace {
constexpr int32_t kSingleProbeBit = 0x0004;  // in "Flag1"
constexpr int kInternalMapOption = 12;
constexpr int kMapOffsetElement = 2;  // "OffsetMapEsterno"
constexpr int kMapSlopeElement = 3;   // "PendenzaMapEsterno"

// A temperature code of 0 is an open input, shown as 0 degrees.
double degrees(int code, const TemperatureCurve& curve) {
    return code == 0 ? 0.0 : curve.ToDegrees(code);
}
}  // namespace

int32_t LiveBlock::Read(Bytes bytes, Field field) {
    const auto at = static_cast<size_t>(field.offset);
    if (field.width == 1) return field.isSigned ? static_cast<int8_t>(bytes[at]) : bytes[at];
    const auto word = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    return field.isSigned ? static_cast<int16_t>(word) : word;
}

LiveValues LiveBlock::Decode(Bytes bytes, int length, const TStreamDati& data,
                             const LiveValues& previous) {
    const int32_t tick = data.BaseTempi();
    LiveValues v = previous;
    v.rpm = Read(bytes, kSpeed);
    v.lambda1 = ValueAccess::Volts(Read(bytes, kLambda1));
    v.mapRaw = Read(bytes, kMap);
    v.mapBar = MapBar(v.mapRaw, data);
    v.gasMs1 = TimeBase::ToMs(Read(bytes, kGasTime1), tick);
    v.petrolMs1 = TimeBase::ToMs(Read(bytes, kPetrolTime1), tick);
    v.status = Read(bytes, kStatus);
    v.t1Code = Read(bytes, kT1);
    v.t1 = degrees(v.t1Code, data.GasCurve());
    v.pressure = Read(bytes, kPressure) / 10;
    v.t2Code = Read(bytes, kT2);
    v.t2 = degrees(v.t2Code, data.EngineCurve());
    if (SecondProbe(data) && length >= kBank2Length) {
        v.lambda2 = ValueAccess::Volts(Read(bytes, kLambda2));
        v.gasMs2 = TimeBase::ToMs(Read(bytes, kGasTime2), tick);
        v.petrolMs2 = TimeBase::ToMs(Read(bytes, kPetrolTime2), tick);
    }
    return v;
}

bool LiveBlock::SecondProbe(const TStreamDati& data) {
    return (data.Store().value(Catalogue::kFlags, 0) & kSingleProbeBit) == 0;
}

double LiveBlock::MapBar(int raw, const TStreamDati& data) {
    if (data.GetOption(kInternalMapOption)) return (raw * 1000.0 / 1020.0 + 10) * 0.01;
    const ParameterStore& store = data.Store();
    const int32_t offset = store.value(Catalogue::kMapSensors, kMapOffsetElement);
    const int32_t slope = store.value(Catalogue::kMapSensors, kMapSlopeElement);
    return (slope * raw * 2.0 / 1020.0 + offset * 0.1) * 0.01;
}
