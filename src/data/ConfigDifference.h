#pragma once

#include <QString>
#include <cstdint>

// One parameter that differs between two configurations: a scalar, one element of an array
// or of the K map, or a text of the vehicle record.
struct ConfigDifference {
    // What one configuration holds there.
    struct Side {
        bool held = false;  // false: outside this configuration's K-map size
        int32_t raw = 0;    // in ECU units; a text has none
        double value = 0;   // in the unit the editor shows
        QString shown;      // the value as shown, with its unit; texts as they are
    };

    int row = 0;      // catalogue row
    int element = 0;  // its element (a store index); for the vehicle record, the field
    QString section;
    QString key;      // the file key
    QString caption;  // the caption the editor shows, else the key
    bool text = false;
    bool converted = false;  // the value is not the raw value (a unit, a list position)
    Side a;
    Side b;

    // b - a in ECU units, 0 unless both hold a number.
    int32_t Delta() const { return !text && a.held && b.held ? b.raw - a.raw : 0; }
};
