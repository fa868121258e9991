#pragma once

// The lists of the changeover tab and the values behind them: the ignition list ("Monobobina",
// "Bibobina", "Contagiri"), the cylinder list (3, 4 and, on the 5-6-8 cylinder ECU, 5, 6, 8
// cylinders) and the ignition-table positions that variable 20 stores.
class EngineCodes {
  public:
    static constexpr int kRevCounter = 2;  // "Contagiri": the code follows the cylinders
    static constexpr int kNone = -1;       // the list shows no entry

    // Entries of the cylinder list for the connected model.
    static int CylinderEntries(int modelCode);
    // Ignition list entry of a position of the ignition table (GetValue (20)): every
    // rev-counter code shows "Contagiri".
    static int IgnitionEntry(int tablePosition);
    // Cylinder list entry of a cylinder count; kNone when the list has no such entry.
    static int CylinderEntry(int cylinders, int entries);
    // Cylinder count of a cylinder list entry.
    static int CylindersOf(int entry);
    // The ignition-table position to store for an ignition entry with a cylinder entry; kNone
    // when there is nothing sensible to store ("Contagiri" without a cylinder count).
    static int IgnitionValue(int ignitionEntry, int cylinderEntry);
};
