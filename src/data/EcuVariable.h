#pragma once

#include <cstdint>

#include "VariableId.h"

// The ECU variables the program names, as the ids that travel on the link. Widths and signs
// are spelled through VariableId::make, so an id says what it moves. The catalogue's other
// rows carry their ids in its table.
namespace EcuVariable {
using ecu::VariableId;

// The ECU's state.
constexpr uint32_t kStatus = 1;     // bit 0 set: the ECU asks to be initialised
constexpr uint32_t kReadiness = 2;  // reads kReady once the ECU has started
constexpr int32_t kReady = 172;
constexpr int32_t kInitialiseBit = 0x01;
constexpr uint32_t kCustomer = 64;  // the customer code of the identity

// Whole variables of the configuration.
constexpr uint32_t kSerialNumber = VariableId::make(0, 20, false, false);  // 82176
constexpr uint32_t kOptionFlags = VariableId::make(3, 2, true, false);     // "Flag1", "Flag2"
constexpr uint32_t kPressureSize = 124;  // asked for its element size: 8-bit or 16-bit form
constexpr uint32_t kPressureBytes = VariableId::make(124, 15, false, true);
constexpr uint32_t kPressureWords = VariableId::make(124, 15, true, true);

// Single elements and scalars written by the data module's setters.
constexpr uint32_t kBitFields = 26;  // "TipoDiTps": packs the bit-field value codes
constexpr uint32_t kLevelSensorType = 36;
constexpr uint32_t kLevelReferences = 37;
constexpr uint32_t kGasReferences = 42;
constexpr uint32_t kHeader = 53;  // flags byte, 0, then the description
constexpr uint32_t kEngineReferences = 92;
constexpr uint32_t kInjectorType = 148;
constexpr uint32_t kInjectionTimes = VariableId::make(143, 0, true, false);  // element id
constexpr uint32_t kIgnition = 20;  // "NumeroCilindri": ignition code, bit 6 the rpm signal
constexpr int32_t kWeakSignalBit = 0x40;
constexpr uint32_t kZoneCorrection = VariableId::make(149, 0, false, true);  // element id

// Value codes the program itself reads and writes through GetValue / SetValue.
constexpr uint32_t kLambdaType = 4;                // "TipoDiLambda"; bit 0: an inverted probe
constexpr uint32_t kLambdaReference = 5;           // "RifLambda", volts
constexpr uint32_t kCalibrationSpeed = 662;        // "GiriAutotaratura"
constexpr uint32_t kGasChangeover = 15;            // "TemperaturaCambio"
constexpr uint32_t kInjectionType = 52;            // "TipoIniezione"
constexpr uint32_t kEngineChangeover = 117;        // "TemperaturaMotoreCambio"
constexpr uint32_t kCalibrationTemperature = 144;  // "TemperaturaAutotaratura"
}  // namespace EcuVariable
