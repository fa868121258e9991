#include "DataContext.h"

#include "StoreCurves.h"

void DataContext::ChooseGasCurve() { gasCurve = StoreCurves::Gas(store); }

void DataContext::ChooseEngineCurve() { engineCurve = StoreCurves::Engine(store); }
