#include "ValueAccess.h"

#include <array>
#include <cmath>

#include "Catalogue.h"
#include "DataContext.h"
#include "EcuSession.h"
#include "ElementCodes.h"
#include "ParameterStore.h"
#include "TemperatureCurve.h"
#include "TimeBase.h"

namespace {
using C = ValueAccess::Conversion;

constexpr std::array<int32_t, 6> kLambdaTypes = {2, 40, 25, 4, 136, 0};
constexpr std::array<int32_t, 8> kCylinders = {1, 2, 3, 4, 5, 6, 8, 0};
constexpr int32_t kBit6 = 0x40;

const std::array<ValueAccess::Code, 45>& codes() {
    static const std::array<ValueAccess::Code, 45> table = {{
        {4, C::LambdaType, false},
        {5, C::Volts, true},
        {8, C::Volts, true},
        {9, C::Volts, true},
        {10, C::Volts, true},
        {11, C::Volts, true},
        {71, C::Volts, true},
        {72, C::Volts, true},
        {6, C::Raw, false},
        {7, C::Raw, false},
        {17, C::Raw, false},
        {23, C::Raw, false},
        {26, C::Raw, false},
        {62, C::Raw, false},
        {119, C::Raw, false},
        {122, C::Raw, false},
        {135, C::Raw, false},
        {136, C::Raw, false},
        {137, C::Raw, false},
        {530, C::Raw, false},
        {653, C::Raw, false},
        {662, C::Raw, false},
        {67, C::Raw, true},
        {68, C::Raw, true},
        {15, C::GasTemperature, false},
        {117, C::EngineTemperature, false},
        {144, C::EngineTemperature, false},
        {20, C::Cylinders, false},
        {52, C::InjectionType, false},
        {56, C::Tenths, false},
        {118, C::Tenths, false},
        {109, C::Fiftieths, false},
        {528, C::RpmThreshold, false},
        {536, C::Milliseconds, false},
        {640, C::Milliseconds, false},
        {654, C::Milliseconds, false},
        {658, C::Milliseconds, false},
        {659, C::Milliseconds, false},
        {571, C::SlowTime, true},
        {572, C::SlowTime, true},
        {587, C::Rounded, false},
        {22020122, C::BitField, false},
        {24117274, C::BitField, false},
        {36700186, C::BitField, false},
        {50331674, C::BitField, false},
    }};
    return table;
}

int shiftOf(uint32_t code) { return static_cast<int>((code >> 20) & 0xF); }
int32_t maskOf(uint32_t code) { return (1 << ((code >> 24) & 0xF)) - 1; }

template <size_t N>
double positionIn(const std::array<int32_t, N>& table, int32_t raw) {
    for (size_t i = 0; i < N; ++i)
        if (table[i] == (raw & ~kBit6)) return static_cast<double>(i);
    return -1;
}

// The row holding a code's raw value.
int rowOf(uint32_t code) {
    if ((code & 0xFFu) == ValueAccess::kBitFieldVariable && (code >> 20) != 0)
        return Catalogue::rowOfCode(ValueAccess::kBitFieldVariable)->number;
    const CatalogueRow* row = Catalogue::rowOfCode(code);
    return row ? row->number : 0;
}
}  // namespace

const ValueAccess::Code* ValueAccess::Find(uint32_t code) {
    for (const Code& c : codes())
        if (c.code == code) return &c;
    return nullptr;
}

double ValueAccess::ToEngineering(const Code& c, int32_t raw, int32_t tick, const Curves& curves) {
    switch (c.conversion) {
        case C::LambdaType:
            return positionIn(kLambdaTypes, raw);
        case C::Volts:
            return Volts(raw);
        case C::Raw:
        case C::Rounded:
            return raw;
        case C::GasTemperature:
            return curves.gas.ToDegrees(raw);
        case C::EngineTemperature:
            return curves.engine.ToDegrees(raw);
        case C::Cylinders:
            return positionIn(kCylinders, raw);
        case C::InjectionType:
            return raw + 1;
        case C::Tenths:
            return raw * 0.1;
        case C::Fiftieths:
            return raw * 0.02;
        case C::RpmThreshold:
            return raw & ~1;
        case C::Milliseconds:
            return TimeBase::ToMs(raw, tick);
        case C::SlowTime:
            return TimeBase::FromSlowRaw(raw, tick);
        case C::BitField:
            return (raw >> shiftOf(c.code)) & maskOf(c.code);
    }
    return kNoValue;
}

bool ValueAccess::ToRaw(const Code& c, double x, int32_t old, int32_t tick, const Curves& curves,
                        int32_t& raw) {
    // Beyond this no raw value can hold it, and the cut to an integer would be undefined.
    if (!std::isfinite(x) || std::fabs(x) > 2.0e9) return false;
    const auto t = static_cast<int32_t>(x);
    switch (c.conversion) {
        case C::LambdaType:
            if (t < 0 || t >= static_cast<int32_t>(kLambdaTypes.size())) return false;
            raw = kLambdaTypes[static_cast<size_t>(t)];
            return true;
        case C::Volts:
            raw = static_cast<int32_t>(x * 51 + 0.5);
            return true;
        case C::Raw:
            raw = t;
            return true;
        case C::GasTemperature:
            raw = curves.gas.ToCode(x);
            return true;
        case C::EngineTemperature:
            raw = curves.engine.ToCode(x);
            return true;
        case C::Cylinders:
            if (t < 0 || t >= static_cast<int32_t>(kCylinders.size())) return false;
            raw = kCylinders[static_cast<size_t>(t)] | (old & kBit6);
            return true;
        case C::InjectionType:
            raw = static_cast<int32_t>(x - 1);
            return true;
        case C::Tenths:
            raw = static_cast<int32_t>(x * 10);
            return true;
        case C::Fiftieths:
            raw = static_cast<int32_t>(x * 50 + 0.5);
            return true;
        case C::RpmThreshold:
            raw = (t & ~1) | (old & 1);
            return true;
        case C::Milliseconds:
            raw = TimeBase::ToRaw(x, tick);
            return true;
        case C::SlowTime:
            raw = TimeBase::ToSlowRaw(x, tick);
            return true;
        case C::Rounded:
            raw = static_cast<int32_t>(x + 0.5);
            return true;
        case C::BitField: {
            // The value is kept to its field, so it cannot spill into the neighbouring bits.
            const int s = shiftOf(c.code);
            const int32_t mask = maskOf(c.code);
            raw = (old & ~(mask << s)) | ((t & mask) << s);
            return true;
        }
    }
    return false;
}

ValueAccess::Curves ValueAccess::curves() const { return {data_.gasCurve, data_.engineCurve}; }

double ValueAccess::GetValue(uint32_t code) {
    const Code* c = Find(code);
    const int row = c ? rowOf(code) : 0;
    if (!c || row == 0) return kNoValue;
    ParameterStore& store = data_.store;
    if (c->readFirst) {
        int32_t buffer[256] = {};
        if (data_.ecu.link().ReadVariable(code, buffer)) store.set(row, 0, buffer[0]);
    }
    return ToEngineering(*c, store.value(row), store.tick(), curves());
}

int ValueAccess::SetValue(int64_t code, double x) {
    ParameterStore& store = data_.store;
    store.setModified(true);
    if (code < 0) return -1;
    if (code > UINT32_MAX) return 0;
    const auto ucode = static_cast<uint32_t>(code);
    const Code* c = Find(ucode);
    const int row = c ? rowOf(ucode) : 0;
    if (!c || row == 0) return 0;
    const int32_t old = store.value(row);
    int32_t raw = 0;
    if (!ToRaw(*c, x, old, store.tick(), curves(), raw)) return 0;
    if (!data_.ecu.WriteValue(ucode, old, raw)) return 0;
    if (raw != old) {
        store.set(row, 0, raw);
        data_.ecu.ClearOfficial();
    }
    return 1;
}

double ValueAccess::GetElement(uint32_t code, int index) {
    const ElementCodes::Code* e = ElementCodes::Find(code);
    if (!e || index < 0 || index >= Catalogue::row(e->row).elements) return kNoValue;
    const int32_t raw = data_.store.value(e->row, index);
    return e->milliseconds ? TimeBase::ToMs(raw, data_.store.tick()) : raw;
}

int ValueAccess::SetElement(uint32_t code, int index, double x) {
    ParameterStore& store = data_.store;
    store.setModified(true);
    const ElementCodes::Code* e = ElementCodes::Find(code);
    if (!e || index < 0 || index >= Catalogue::row(e->row).elements) return 0;
    const int32_t raw =
        e->milliseconds ? TimeBase::ToRaw(x, store.tick()) : static_cast<int32_t>(x);
    if (!data_.ecu.WriteElement(code, index, store.value(e->row, index), raw)) return 0;
    if (raw != store.value(e->row, index)) {
        store.set(e->row, index, raw);
        data_.ecu.ClearOfficial();
    }
    return 1;
}
