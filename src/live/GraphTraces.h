#pragma once

#include <QColor>
#include <QString>
#include <array>

#include "AcquisitionRecord.h"

// The ten traces of the acquisition graph: where each takes its value from a record, how it is
// scaled to share one value axis with the others, its title and its colour. Traces 7 to 9 are
// the second probe's and exist only in files of version 2.
class GraphTraces {
  public:
    static constexpr int kCount = 10;
    static constexpr int kOneProbeCount = 7;

    struct Trace {
        int text;              // the title's string number
        const char* fallback;  // the title when the table lacks it
        const char* suffix;    // the scale the title tells, appended after loading
        QColor colour;
        double scale;          // from the quantity's own unit to the common axis
        int decimals;          // written with these: speed whole, times and volts 2, degrees 1
        double (*reading)(const AcquisitionRecord&);  // in the quantity's own unit

        // On the common axis.
        double value(const AcquisitionRecord& record) const { return reading(record) * scale; }
    };

    static const std::array<Trace, kCount>& All();
    // Traces drawn for a file of this version: seven for version 1, ten otherwise.
    static int CountFor(int version) { return version == 1 ? kOneProbeCount : kCount; }
    // Whether the records of this version carry the second probe's traces.
    static bool HasSecondProbe(int version) { return version == 2; }
    // The title from the string table, with its scale.
    static QString Title(int trace);
    // The title without the scale, for a value in the quantity's own unit.
    static QString Name(int trace);
    // A value in the quantity's own unit, with the decimals of its trace: "1395", "4.60".
    static QString Text(int trace, double reading);
};
