#include "ConfigComparison.h"

#include <algorithm>
#include <set>

#include "Catalogue.h"
#include "ElementCodes.h"
#include "ParameterStore.h"
#include "StoreCurves.h"
#include "TemperatureCurve.h"
#include "TransferEngine.h"
#include "ValueAccess.h"

namespace {
using C = ValueAccess::Conversion;

// How the editor shows the values of a conversion: unit (its text number and design text)
// and decimals.
struct Look {
    int unitNumber;  // 0: no unit
    const char* unit;
    int decimals;
};

Look lookOf(C conversion) {
    switch (conversion) {
        case C::Volts:
            return {122, "V", 2};
        case C::GasTemperature:
        case C::EngineTemperature:
            return {123, "°C", 1};
        case C::Milliseconds:
        case C::SlowTime:
            return {127, "ms", 2};
        case C::RpmThreshold:
            return {126, "rpm", 0};
        case C::Tenths:
            return {0, "", 1};
        case C::Fiftieths:
            return {0, "", 2};
        default:
            return {0, "", 0};
    }
}

// The conversion of a row's values: its scalar code, the element code over its elements, or
// timer counts for the rows that hold times; nothing for plain numbers.
std::optional<C> conversionOf(const CatalogueRow& row) {
    if (row.keys == KeyStyle::Single)
        if (const ValueAccess::Code* code = ValueAccess::Find(row.id)) return code->conversion;
    if (const ElementCodes::Code* element = ElementCodes::OfRow(row.number))
        return element->milliseconds ? C::Milliseconds : C::Raw;
    if (row.rule == DefaultRule::Milliseconds) return C::Milliseconds;
    return std::nullopt;
}

}  // namespace

// A configuration's own values and curves.
struct ConfigComparison::Holder {
    const ParameterStore& store;
    TemperatureCurve gas;
    TemperatureCurve engine;
    bool toWordForm;  // pressure coefficients in their 16-bit form

    // other: the configuration compared with it. Pressure coefficients held in the same form
    // on both sides are compared as they are held, else both in the 16-bit form.
    Holder(const ParameterStore& s, const ParameterStore& other)
        : store(s),
          gas(StoreCurves::Gas(s)),
          engine(StoreCurves::Engine(s)),
          toWordForm(s.pressureByteForm() && s.pressureByteForm() != other.pressureByteForm()) {}

    int32_t raw(const CatalogueRow& row, int element) const {
        const int32_t value = store.value(row.number, element);
        if (row.number == Catalogue::kPressureCoefficients && toWordForm)
            return value * TransferEngine::kPressureFactor;
        return value;
    }

    // Element of row as this configuration holds it and as the editor shows it.
    ConfigDifference::Side side(const CatalogueRow& row, int element, std::optional<C> conversion,
                                const QString& unit) const {
        ConfigDifference::Side side;
        side.held = true;
        side.raw = raw(row, element);
        side.value = side.raw;
        int decimals = 0;
        if (conversion) {
            const ValueAccess::Code code{row.id, *conversion, false};
            side.value = ValueAccess::ToEngineering(code, side.raw, store.tick(), {gas, engine});
            decimals = lookOf(*conversion).decimals;
        }
        side.shown = QString::number(side.value, 'f', decimals);
        if (!unit.isEmpty()) side.shown += u' ' + unit;
        return side;
    }
};

namespace {

// The elements a configuration file holds of a row for a K-map size.
std::vector<int> fileElements(const CatalogueRow& row, const ParameterStore& store) {
    if (row.keys == KeyStyle::Single) return {0};
    return Catalogue::activeElements(row, store.kRows(), store.kColumns());
}

bool holds(const std::vector<int>& elements, int element) {
    return std::find(elements.begin(), elements.end(), element) != elements.end();
}

// The texts and numbers of the vehicle record that a configuration file holds, with the
// description as a save writes it.
std::vector<std::pair<const char*, QString>> vehicleFields(const ParameterStore& store) {
    const VehicleRecord& v = store.vehicle();
    return {
        {"DescrizAuto", v.description.isEmpty() ? store.description() : v.description},
        {"Ufficiale", store.official() ? QStringLiteral("1") : QStringLiteral("0")},
        {"Euro", v.euro},
        {"CentCubici", QString::number(v.displacement)},
        {"Valvole", QString::number(v.valves)},
        {"N cilindri", QString::number(v.cylinders)},
        {"Potenza", QString::number(v.power, 'f', 2)},
        {"Motore", v.engine},
        {"Centralina", v.ecu},
        {"Cambio", v.gearbox},
        {"AnnoVettura", QString::number(v.year)},
    };
}
}  // namespace

ConfigComparison::ConfigComparison(const ParameterStore& a, const ParameterStore& b, Names names)
    : a_(a), b_(b), names_(std::move(names)) {
    const Holder inA(a_, b_);
    const Holder inB(b_, a_);
    for (const CatalogueRow& row : Catalogue::rows()) {
        if (row.hook == Hook::Header) compareVehicle();
        if (row.hasFileKey()) compareRow(row, inA, inB);
    }
    buildKMap();
}

void ConfigComparison::add(ConfigDifference d) {
    const auto caption = names_.caption ? names_.caption(d.section, d.key) : std::nullopt;
    d.caption = caption.value_or(d.key);
    differences_.push_back(std::move(d));
}

void ConfigComparison::compareRow(const CatalogueRow& row, const Holder& a, const Holder& b) {
    const std::vector<int> inA = fileElements(row, a_);
    const std::vector<int> inB = fileElements(row, b_);
    std::set<int> elements(inA.begin(), inA.end());
    elements.insert(inB.begin(), inB.end());
    const std::optional<C> conversion = conversionOf(row);
    QString unit;
    if (conversion) {
        const Look look = lookOf(*conversion);
        unit = QString::fromUtf8(look.unit);
        if (look.unitNumber && names_.text) unit = names_.text(look.unitNumber, unit);
    }
    for (int e : elements) {
        ConfigDifference d;
        if (holds(inA, e)) d.a = a.side(row, e, conversion, unit);
        if (holds(inB, e)) d.b = b.side(row, e, conversion, unit);
        if (d.a.held == d.b.held && d.a.raw == d.b.raw) continue;
        d.row = row.number;
        d.element = e;
        d.section = Catalogue::section(row, e);
        d.key = Catalogue::key(row, e);
        d.converted = conversion && *conversion != C::Raw && *conversion != C::Rounded;
        add(std::move(d));
    }
}

void ConfigComparison::compareVehicle() {
    const auto inA = vehicleFields(a_);
    const auto inB = vehicleFields(b_);
    const int header = Catalogue::row(Catalogue::kHeader).number;
    for (size_t i = 0; i < inA.size(); ++i) {
        if (inA[i].second == inB[i].second) continue;
        ConfigDifference d;
        d.row = header;
        d.element = static_cast<int>(i);
        d.section = QString::fromLatin1(Catalogue::row(Catalogue::kHeader).section);
        d.key = QString::fromLatin1(inA[i].first);
        d.text = true;
        d.a = {true, 0, 0, inA[i].second};
        d.b = {true, 0, 0, inB[i].second};
        add(std::move(d));
    }
}

void ConfigComparison::buildKMap() {
    const CatalogueRow& row = Catalogue::row(Catalogue::kKMap);
    const int line = row.lineLength();
    kMap_.lines = std::max(a_.kRows(), b_.kRows()) + 1;
    kMap_.columns = std::max(a_.kColumns(), b_.kColumns());
    const auto cellOf = [&](const ParameterStore& store, int r, int c) -> std::optional<int32_t> {
        if (r > store.kRows() || c >= store.kColumns()) return std::nullopt;
        return store.value(row.number, r * line + c);
    };
    for (int r = 0; r < kMap_.lines; ++r)
        for (int c = 0; c < kMap_.columns; ++c)
            kMap_.cells.push_back({cellOf(a_, r, c), cellOf(b_, r, c)});
}
