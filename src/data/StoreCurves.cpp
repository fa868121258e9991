#include "StoreCurves.h"

#include <optional>

#include "ParameterStore.h"

TemperatureCurve StoreCurves::Gas(const ParameterStore& store) {
    return TemperatureCurve::Gas(store.value(Catalogue::kGasSensorType));
}

TemperatureCurve StoreCurves::Engine(const ParameterStore& store) {
    std::optional<TemperatureCurve> fromStore;
    if (store.option(10))
        fromStore = TemperatureCurve::FromEngineParameters(
            store.values(Catalogue::kEngineParameters), store.values(Catalogue::kEngineCodes));
    return fromStore.value_or(TemperatureCurve());
}
