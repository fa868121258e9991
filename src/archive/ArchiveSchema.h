#pragma once

#include <QList>
#include <QString>

#include "ArchiveLocation.h"

// The archive's tables, as numbered forward-only steps. Each step holds its statements for
// both engines; "{id}", "{blob}" and "{term}" stand for the column types that differ (an
// identity key, bytes, text compared byte by byte). A step says the oldest program schema
// that can still read a database at that step.
struct ArchiveSchemaStep {
    int version;
    int oldestReader;
    QList<const char*> statements;
};

class ArchiveSchema {
  public:
    static const QList<ArchiveSchemaStep>& steps();
    // The version this program writes: the last step's.
    static int currentVersion();
    // A statement of a step in the engine's own words.
    static QString forEngine(const char* statement, ArchiveLocation::Engine engine);
};
