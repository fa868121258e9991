#include "EcuVariableTable.h"

#include <algorithm>
#include <cmath>

#include "SensorCurve.h"

namespace sim {

namespace {
constexpr double kTickMs = 2560 * 0.000001;  // factory timer resolution

int32_t ticks(double ms) { return static_cast<int32_t>(std::lround(ms / kTickMs)); }

std::vector<int32_t> text(const std::string& s, size_t size) {
    std::vector<int32_t> out(size, 0);
    for (size_t i = 0; i < s.size() && i < size; ++i) out[i] = static_cast<uint8_t>(s[i]);
    return out;
}

const std::vector<int32_t> kEngineCodes = {231, 224, 216, 206, 195, 183, 170, 156, 142, 128,
                                           114, 101, 89,  78,  68,  59,  51,  44,  38,  33,
                                           29,  25,  22,  19,  16,  14,  12,  11,  10,  8};

// Factory K map, 13 rows of 12 cells.
std::vector<int> kRow(int first, int second, int third, int fourth, int rest) {
    std::vector<int> row{first, second, third, fourth};
    row.resize(12, rest);
    return row;
}
const std::vector<std::vector<int>> kFactoryK = {
    kRow(120, 123, 123, 123, 123), kRow(124, 126, 126, 128, 130), kRow(134, 136, 136, 139, 139),
    kRow(141, 143, 143, 147, 149), kRow(141, 143, 143, 147, 149), kRow(142, 143, 143, 147, 149),
    kRow(138, 140, 140, 143, 145), kRow(124, 126, 126, 129, 130), kRow(119, 121, 121, 125, 125),
    kRow(114, 115, 115, 119, 120), kRow(113, 114, 114, 118, 118), kRow(113, 114, 114, 118, 118),
    kRow(113, 114, 114, 118, 118)};
}  // namespace

EcuVariableTable::EcuVariableTable(const VirtualEcuOptions& options) {
    addScalars(options);
    addArrays(options);
    addTables(options);
}

const EcuVariable* EcuVariableTable::find(int number) const {
    const auto it = variables_.find(number);
    return it == variables_.end() ? nullptr : &it->second;
}

void EcuVariableTable::add(int number, int count, bool wide, bool isSigned,
                           std::vector<int32_t> initial, int rowLength, bool readOnly) {
    initial.resize(static_cast<size_t>(count), 0);
    variables_[number] =
        EcuVariable{number, count, wide, isSigned, rowLength, readOnly, std::move(initial)};
}

void EcuVariableTable::addScalars(const VirtualEcuOptions& o) {
    const SensorCurve gas = SensorCurve::gasSensor(0);
    const SensorCurve engine(-20, 5, std::vector<int>(kEngineCodes.begin(), kEngineCodes.end()));
    struct Scalar {
        int number;
        bool wide;
        int32_t value;
        bool readOnly;
    };
    const Scalar scalars[] = {
        {kStatus, false, o.initRequest ? 1 : 0, false},
        {kReadiness, false, 0, true},
        {kLambdaType, false, 2, false},
        {kLambdaRef, false, 28, false},
        {6, false, 0, false},
        {kProbeWarmUp, false, 5, false},
        {8, false, 31, false},
        {9, false, 15, false},
        {10, false, 31, false},
        {11, false, 15, false},
        {kChangeoverTemp, false, gas.codeOf(30), false},
        {kChangeoverSpeed, true, 1500, false},
        {17, false, 60, false},
        {18, true, 0, false},
        {20, false, 2, false},
        {23, false, 0, false},
        {24, true, 0, false},
        {kPackedBits, false, 0, false},
        {36, false, 129, false},
        {52, false, 3, false},
        {56, false, 10, false},
        {59, true, 0, false},
        {60, true, 0, false},
        {62, false, 2, false},
        {kCustomer, false, o.customer, false},
        {67, false, 12, true},
        {68, false, 3, true},
        {kLevelHigh, false, 41, false},
        {kLevelLow, false, 5, false},
        {75, true, 1242, false},
        {82, true, 0, false},
        {83, true, ticks(1.5), false},
        {109, false, 0, false},
        {117, false, engine.codeOf(35), false},
        {118, false, 50, false},
        {119, false, 45, false},
        {kTick, true, 2560, false},
        {122, false, 20, false},
        {125, true, ticks(0.3), false},
        {126, true, ticks(1.1), false},
        {128, true, ticks(0.6), false},
        {kGasSensorType, false, 0, false},
        {135, false, 0, false},
        {136, false, 100, false},
        {137, false, 0, false},
        {141, true, 8000, false},
        {142, true, ticks(2), false},
        {144, false, engine.codeOf(50), false},
        {146, true, ticks(12), false},
        {147, true, 0, false},
        {kCalibrationSpeed, true, 2800, false},
    };
    for (const Scalar& s : scalars) add(s.number, 1, s.wide, false, {s.value}, 0, s.readOnly);
}

void EcuVariableTable::addArrays(const VirtualEcuOptions& o) {
    const SensorCurve gas = SensorCurve::gasSensor(0);
    const SensorCurve engine(-20, 5, std::vector<int>(kEngineCodes.begin(), kEngineCodes.end()));
    auto references = [](const SensorCurve& curve) {
        std::vector<int32_t> refs{0};
        for (double t : {70, 60, 50, 40, 35, 30, 25, 20}) refs.push_back(curve.codeOf(t));
        refs.push_back(255);
        return refs;
    };

    add(kSerial, 20, false, false, text(o.serialNumber, 20));
    add(kFlags, 2, true, false, {1044, 1});
    std::vector<int32_t> speeds;
    for (int i = 1; i <= 12; ++i) speeds.push_back(500 * i);
    add(12, 12, true, false, speeds);
    add(25, 10, false, false, {});
    add(37, 4, false, false, {155, 127, 102, 77});
    add(42, 10, false, false, references(gas));
    add(43, 9, false, false, {100, 99, 97, 94, 92, 90, 88, 86, 84});
    std::vector<int32_t> header{128 | 0, 0};
    const auto description = text("Punto 1.2 GPL", 28);
    header.insert(header.end(), description.begin(), description.end());
    add(kHeader, 30, false, false, header);
    add(57, 5, false, false, {});
    add(58, 5, false, false, {});
    add(74, 2, true, false, {ticks(3), 0});
    add(81, 4, false, false,
        {gas.codeOf(-40), gas.codeOf(180), engine.codeOf(-40), engine.codeOf(180)});
    add(92, 10, false, false, references(engine));
    add(93, 9, false, false, {109, 106, 103, 100, 97, 94, 91, 88, 85});
    add(120, 6, true, true, {100, 500, 100, 500, -108, 542});
    add(123, 15, true, false,
        {500, 550, 590, 630, 670, 710, 750, 790, 830, 870, 910, 950, 1000, 1050, 1100});
    const std::vector<int32_t> coefficients = {114, 100, 88, 77, 67,  56,  46, 37,
                                               27,  18,  9,  0,  -11, -21, -32};
    using Form = VirtualEcuOptions::PressureCoefficients;
    if (o.pressureCoefficients == Form::Bits16)
        add(kPressureCoefficients, 15, true, true, coefficients);
    if (o.pressureCoefficients == Form::Bits8) {
        std::vector<int32_t> small;
        for (int32_t c : coefficients) small.push_back(std::clamp(c / 30, -128, 127));
        add(kPressureCoefficients, 15, false, true, small);
    }
    add(129, 3, false, false, {128, 128, 128});
    add(130, 12, false, false, std::vector<int32_t>(12, 26));
    add(131, 12, true, false, {});
    add(133, 2, true, false, {0, 0});
    add(kEngineCurveParams, 5, false, true, {18, 92, 5, -20, 30});
    add(kEngineCurveCodes, 30, false, false, kEngineCodes);
    add(145, 2, true, false, {ticks(0.2), 0});
    add(148, 2, false, false, {0, 0});
    add(151, 3, false, false, {1, 5, 2});
}

void EcuVariableTable::addTables(const VirtualEcuOptions& o) {
    const int columns = std::clamp(o.kColumns, 1, 12);
    const int rows = std::clamp(o.kRows, 1, 12);
    const double times[] = {2.0, 2.5, 3.0, 3.5, 4.5, 6.0, 8.0, 10.0, 12.0, 14.0, 16.0, 18.0};
    std::vector<int32_t> kTimes, kSpeeds, openLoop, kMap;
    for (int r = 0; r < rows; ++r) kTimes.push_back(ticks(times[r]));
    for (int c = 0; c < columns; ++c) {
        kSpeeds.push_back((c + 1) * 6000 / columns);
        openLoop.push_back(ticks(30));
    }
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c < columns; ++c) kMap.push_back(kFactoryK[r][c]);
    add(kKTimes, rows, true, true, kTimes);
    add(kKSpeeds, columns, true, true, kSpeeds);
    add(127, columns, true, false, openLoop);
    add(kKMap, (rows + 1) * columns, false, false, kMap, columns);

    add(49, 9, false, false, {}, 3);
    std::vector<int32_t> injection;
    for (int i = 0; i < 8; ++i) {
        injection.push_back(ticks(2.5 + 0.1 * i));
        injection.push_back(ticks(2.5 + 0.1 * i));
    }
    add(143, 16, true, false, injection, 2);
    add(kCorrection, 16, false, true, {}, 4);
}

}  // namespace sim
