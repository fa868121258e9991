#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "Catalogue.h"
#include "VehicleRecord.h"

// The working copy of every catalogue parameter: one raw 32-bit integer per element, in
// ECU units, plus what goes with it (vehicle record, identity, flags).
class ParameterStore {
  public:
    static constexpr int kOfficialBit = 0x80;
    static constexpr int kMaxDescription = 28;
    static constexpr int kDescriptionFirst = 2;  // element of the header
    static constexpr int kMaxSerialNumber = 20;

    ParameterStore();

    std::vector<int32_t>& values(int rowNumber) {
        return rows_.at(static_cast<size_t>(rowNumber - 1));
    }
    const std::vector<int32_t>& values(int rowNumber) const {
        return rows_.at(static_cast<size_t>(rowNumber - 1));
    }
    int32_t value(int rowNumber, int element = 0) const {
        return values(rowNumber).at(static_cast<size_t>(element));
    }
    void set(int rowNumber, int element, int32_t raw) {
        values(rowNumber).at(static_cast<size_t>(element)) = raw;
    }

    int kRows() const { return value(Catalogue::kKMapSize, 0); }
    int kColumns() const { return value(Catalogue::kKMapSize, 1); }
    int32_t tick() const { return value(Catalogue::kBaseTempi); }
    bool official() const { return (value(Catalogue::kHeader, 0) & kOfficialBit) != 0; }
    // Option n of "Flag1" / "Flag2": 1 or 0, 0 for numbers outside the table.
    int option(int n) const;
    // The description (header elements 2..29) and the serial number, up to their first zero.
    QString description() const;
    QString serialNumber() const;
    // Character i of text as the ECU holds it: one byte, '?' for what Latin-1 cannot hold,
    // 0 past the end.
    static int32_t LatinCode(const QString& text, int i);

    VehicleRecord& vehicle() { return vehicle_; }
    const VehicleRecord& vehicle() const { return vehicle_; }
    std::array<uint8_t, 4>& identity() { return identity_; }
    const std::array<uint8_t, 4>& identity() const { return identity_; }

    bool modified() const { return modified_; }
    void setModified(bool on) { modified_ = on; }
    // The pressure coefficients are held in the ECU's 8-bit form ("CoeffPressDiffByte").
    bool pressureByteForm() const { return pressureByteForm_; }
    void setPressureByteForm(bool on) { pressureByteForm_ = on; }

  private:
    std::vector<std::vector<int32_t>> rows_;
    VehicleRecord vehicle_;
    std::array<uint8_t, 4> identity_{};
    bool modified_ = false;
    bool pressureByteForm_ = true;
};
