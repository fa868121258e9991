#pragma once

#include <map>

#include "EcuVariable.h"
#include "VirtualEcuOptions.h"

namespace sim {

// The ECU's own list of its variables: number, element count, width, signedness, table shape
// and factory contents (a configured car: a 4-cylinder LPG installation).
class EcuVariableTable {
  public:
    explicit EcuVariableTable(const VirtualEcuOptions& options);

    const EcuVariable* find(int number) const;
    const std::map<int, EcuVariable>& all() const { return variables_; }

    // Variable numbers with a meaning of their own to the ECU.
    static constexpr int kSerial = 0, kStatus = 1, kReadiness = 2, kFlags = 3, kLambdaType = 4,
                         kLambdaRef = 5, kProbeWarmUp = 7, kChangeoverTemp = 15,
                         kChangeoverSpeed = 16, kPackedBits = 26, kGasSensorType = 134,
                         kHeader = 53, kKTimes = 55, kKSpeeds = 61, kCustomer = 64, kLevelHigh = 71,
                         kLevelLow = 72, kKMap = 84, kTick = 121, kPressureCoefficients = 124,
                         kEngineCurveParams = 138, kEngineCurveCodes = 139, kCorrection = 149,
                         kCalibrationSpeed = 150;
    static constexpr int kReady = 172;

  private:
    void add(int number, int count, bool wide, bool isSigned, std::vector<int32_t> initial,
             int rowLength = 0, bool readOnly = false);
    void addScalars(const VirtualEcuOptions& options);
    void addArrays(const VirtualEcuOptions& options);
    void addTables(const VirtualEcuOptions& options);

    std::map<int, EcuVariable> variables_;
};

}  // namespace sim
