#include "EngineCodes.h"

#include <algorithm>

#include "BuildProfile.h"

int EngineCodes::CylinderEntries(int modelCode) {
    const bool many = modelCode == BuildProfile::ModelCode(1) &&
                      BuildProfile::ModelCode(1) != BuildProfile::ModelCode(0);
    return many ? 5 : 2;
}

int EngineCodes::IgnitionEntry(int tablePosition) {
    return tablePosition < 0 ? kNone : std::min(tablePosition, kRevCounter);
}

int EngineCodes::CylinderEntry(int cylinders, int entries) {
    int entry = kNone;
    if (cylinders >= 3 && cylinders <= 6) entry = cylinders - 3;
    if (cylinders == 8) entry = 4;
    return entry < entries ? entry : kNone;
}

int EngineCodes::CylindersOf(int entry) { return entry + 3 + (entry == 4 ? 1 : 0); }

int EngineCodes::IgnitionValue(int ignitionEntry, int cylinderEntry) {
    if (ignitionEntry < 0) return kNone;
    if (ignitionEntry < kRevCounter) return ignitionEntry;
    return cylinderEntry < 0 ? kNone : cylinderEntry + 2;
}
