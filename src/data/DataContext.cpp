#include "DataContext.h"

#include <optional>

#include "ParameterStore.h"
#include "TemperatureCurve.h"

void DataContext::ChooseGasCurve() {
    gasCurve = TemperatureCurve::Gas(store.value(Catalogue::kGasSensorType));
}

void DataContext::ChooseEngineCurve() {
    std::optional<TemperatureCurve> fromStore;
    if (store.option(10))
        fromStore = TemperatureCurve::FromEngineParameters(
            store.values(Catalogue::kEngineParameters), store.values(Catalogue::kEngineCodes));
    engineCurve = fromStore.value_or(TemperatureCurve());
}
