#pragma once

#include "TemperatureCurve.h"

class ParameterStore;

// The temperature curves a store's values call for.
class StoreCurves {
  public:
    // The gas curve of the stored "TipoSensoreTemperaturaGas".
    static TemperatureCurve Gas(const ParameterStore& store);
    // From the store's engine parameters with option 10, else the built-in curve.
    static TemperatureCurve Engine(const ParameterStore& store);
};
