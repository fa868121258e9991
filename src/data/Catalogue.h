#pragma once

#include <QString>
#include <vector>

#include "CatalogueRow.h"

// The parameters a full transfer moves, in transfer order, and the rules that follow from
// the table: key names, ids for the current K-map size, progress byte counts.
class Catalogue {
  public:
    static constexpr int kRowCount = 82;
    static constexpr int kMaxKRows = 12;
    static constexpr int kMaxKColumns = 12;
    static constexpr int kDefaultKRows = 12;
    static constexpr int kDefaultKColumns = 6;
    static constexpr int kDefaultBaseTempi = 2560;

    // Row numbers the program refers to by name.
    enum RowNumber {
        kFlags = 1,
        kBaseTempi = 2,
        kGasSensorType = 3,
        kEngineParameters = 4,
        kEngineCodes = 5,
        kKMapSize = 6,
        kKTimes = 7,
        kKRpm = 8,
        kKOpenLoop = 9,
        kKMap = 10,
        kSerialNumber = 11,
        kLambdaType = 12,
        kLevelSensorType = 30,
        kLevelReferences = 31,
        kGasReferences = 32,
        kHeader = 36,
        kMaxCurrentTime = 47,
        kDisplacement = 48,
        kEngineReferences = 52,
        kMapSensors = 58,
        kPressureCoefficients = 61,
        kInjectionTimes = 74,
    };

    static const std::vector<CatalogueRow>& rows();
    static const CatalogueRow& row(int number);
    // The row whose id (without its count field) is code's, nullptr when none.
    static const CatalogueRow* rowOfCode(uint32_t code);

    // The id passed to the link for the current K-map size.
    static uint32_t idFor(const CatalogueRow& row, int kRows, int kColumns);
    // The id of a single-element write: variable, width and sign, no array or count.
    static uint32_t elementId(uint32_t id) { return id & 0x6FFu; }
    static int countOf(uint32_t id) { return static_cast<int>((id >> 12) & 0xFFu); }

    // Store indexes of the elements in use for the current K-map size.
    static std::vector<int> activeElements(const CatalogueRow& row, int kRows, int kColumns);
    // Lines in use of a row moved line by line.
    static int activeLines(const CatalogueRow& row, int kRows);

    // The file key and section of one element (a store index).
    static QString key(const CatalogueRow& row, int element);
    static QString section(const CatalogueRow& row, int element);

    // The progress steps of a row: one byte count per report.
    static std::vector<int> progressSteps(const CatalogueRow& row, int kRows, int kColumns,
                                          bool selected);
    // The sum of every row's byte counts for the default K-map size.
    static int grandTotal();
};
