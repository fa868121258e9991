#pragma once

#include <array>
#include <cstdint>

// The gas level sensors the ECU knows: the code of variable 36 for each list position (the
// default references of the first three are DefaultValues::LevelReferences). An inverted
// sensor (bit 7 of its code) keeps each level reference as 255 minus the value shown.
class LevelSensor {
  public:
    static constexpr int kPositions = 8;
    static constexpr int kReferences = 4;
    static constexpr int32_t kInvertedBit = 0x80;
    // Positions from here on have no default references: the technician sets them.
    static constexpr int kFirstCustomPosition = 3;

    // The code of a list position; -1 outside the table.
    static int32_t CodeOf(int position);
    // The list position of a stored code; -1 when the table has none.
    static int PositionOf(int32_t code);
    static bool IsInverted(int32_t code) { return (code & kInvertedBit) != 0; }
    // A reference as shown <-> as the ECU keeps it.
    static int32_t Stored(int32_t shown, int32_t code) {
        return IsInverted(code) ? 255 - shown : shown;
    }
    static int32_t Shown(int32_t stored, int32_t code) { return Stored(stored, code); }
};
