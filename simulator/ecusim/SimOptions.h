#pragma once

#include <QStringList>

#include "VirtualEcuOptions.h"

// The command line of ecusim.
struct SimOptions {
    sim::VirtualEcuOptions ecu;
    double dropRate = 0;
    double corruptRate = 0;
    int latencyMs = 0;
    int pullAfterFrames = -1;
    bool lineSpeed = false;  // pace bytes at the baud the program set on the port
    int baud = 0;            // pace at this baud whatever the port says
    QString tracePath;
    bool exitOnEof = false;

    // false with a message in error (or the help text in help) when the line is not usable.
    bool parse(const QStringList& arguments, QString& error);
};
