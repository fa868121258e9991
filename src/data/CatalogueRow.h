#pragma once

#include <cstdint>
#include <vector>

#include "VariableId.h"

// Which parts of a transfer select a row (the bits of the group mask).
namespace Group {
constexpr int kBase = 0x01;
constexpr int kKMap = 0x02;
constexpr int kFuel = 0x04;
constexpr int kSensors = 0x08;
constexpr int kInjection = 0x10;
constexpr int kAll = 0xFF;
}  // namespace Group

// How a row's file keys are spelled.
enum class KeyStyle {
    None,     // never stored in the file
    Single,   // one key for element 0
    Indexed,  // key + element index ("RifGiri0" .. "RifGiri11")
    Grid,     // key + row + "_" + column ("MappaK3_5")
    Named,    // one spelled-out key per element
};

// Where a row's element count comes from.
enum class Extent {
    Fixed,     // the count of the id
    KRows,     // the K-map row count
    KColumns,  // the K-map column count
    KMap,      // rows + 1 lines of `columns` elements
};

// How a row's default is made.
enum class DefaultRule {
    Values,             // the listed values, the last one repeated to fill the row
    Milliseconds,       // the listed times in ms, stored in timer counts
    Scaled,             // the listed values times `scale`, rounded to the nearest integer
    GasCodes,           // gas-sensor codes of the listed temperatures
    EngineCodes,        // engine-sensor codes of the listed temperatures
    GasReferences,      // 0, codes of the listed temperatures (gas curve), 255
    EngineReferences,   // the same on the engine curve
    TemperatureLimits,  // gas codes of the first two, engine codes of the last two
    KRpm,               // (i + 1) x 6000 / columns
    KMap,               // the default K map
    Text,               // the characters of `text`, zero padded
    Header,             // flags byte, 0, description
};

// Rows whose handling differs from the plain read/write of their elements.
enum class Hook {
    None,
    BaseTempi,             // read from the ECU first, 2560 when that fails
    GasSensorType,         // chooses the gas curve once settled
    EngineCurve,           // the engine curve follows these rows
    KMapSize,              // the ECU tells the K-map size through command 4
    KMap,                  // moved line by line
    SerialNumber,          // never in the file
    LevelSensorType,       // the default also sets the level references
    Header,                // official flag, description and vehicle record
    MaxCurrentTime,        // file values bounded to 20 ms and 1.5 ms
    PressureCoefficients,  // 8-bit or 16-bit form, chosen by the ECU
    SafeDelay,             // file values below 0.1 ms replaced by 2 ms
    InjectorType,          // written as two single-element writes
};

struct NamedKey {
    const char* section;  // nullptr: the row's section
    const char* key;
};

// One parameter of the catalogue: what a transfer moves, where and how. A row of the table
// names what differs from a plain scalar of the base group with one file key.
struct CatalogueRow {
    int number;                     // 1-based position in transfer order
    uint32_t id;                    // ECU variable id; K-map rows leave the count field empty
    const char* section = nullptr;  // INI section, nullptr when the row has no file key
    const char* key = nullptr;      // key, or prefix of indexed and grid keys
    KeyStyle keys = KeyStyle::Single;
    std::vector<NamedKey> named = {};
    Extent extent = Extent::Fixed;
    int elements = 0;  // elements held in the store; 0: lines x the id's count (or 1, or the
                       // named keys when there are more)
    int lines = 1;     // > 1: moved line by line (ReadRow / WriteRow)
    int group = Group::kBase;
    DefaultRule rule = DefaultRule::Values;
    std::vector<double> defaults = {};
    Hook hook = Hook::None;
    bool readOnly = false;       // read back from the ECU instead of written
    double scale = 1.0;          // DefaultRule::Scaled
    const char* text = nullptr;  // DefaultRule::Text

    // Bytes per element and sign, as the id says.
    int width() const { return ecu::VariableId(id).elementBytes(); }
    bool isSigned() const { return ecu::VariableId(id).isSigned(); }
    // Elements in one line (row-by-row rows), else all of them.
    int lineLength() const { return elements / lines; }
    bool hasFileKey() const { return keys != KeyStyle::None; }
};
