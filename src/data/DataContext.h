#pragma once

#include <QString>
#include <functional>

class ConfigSource;
class EcuSession;
class ParameterStore;
class TemperatureCurve;

// What the data module's workers (value access, transfer engine) act on: the store, the ECU
// session, the open configuration source and its file name, the two temperature curves, and
// the progress notification. Handed to them instead of the whole data module, so a worker
// reaches nothing else and never calls back into it.
struct DataContext {
    ParameterStore& store;
    EcuSession& ecu;
    ConfigSource& source;
    const QString& fileName;
    TemperatureCurve& gasCurve;
    TemperatureCurve& engineCurve;
    std::function<void(int percent)> progress;

    // The gas curve of the stored "TipoSensoreTemperaturaGas".
    void ChooseGasCurve();
    // From the store's engine parameters with option 10, else the built-in curve.
    void ChooseEngineCurve();
};
