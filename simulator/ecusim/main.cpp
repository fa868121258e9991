// ecusim: the virtual ECU on a pseudo-terminal. The first line of output is the device the
// program opens as its serial port (ECU_PORT=/dev/pts/N).
#include <QCoreApplication>
#include <QFile>
#include <csignal>
#include <cstdio>

#include "LineFaults.h"
#include "PtyLine.h"
#include "SimOptions.h"
#include "VirtualEcu.h"

namespace {
volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SimOptions options;
    QString error;
    if (!options.parse(app.arguments(), error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return error.startsWith("Usage") ? 0 : 2;
    }

    sim::VirtualEcu ecu(options.ecu, 0);
    sim::LineFaults faults(options.ecu.seed);
    faults.drop.setRate(options.dropRate);
    faults.corrupt.setRate(options.corruptRate);
    faults.latency.setDelayMs(options.latencyMs);
    if (options.pullAfterFrames >= 0) faults.cable.pullAfter(options.pullAfterFrames);

    QFile trace(options.tracePath);
    if (!options.tracePath.isEmpty()) {
        if (!trace.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            std::fprintf(stderr, "ecusim: cannot write %s\n", qPrintable(options.tracePath));
            return 2;
        }
        ecu.setTraceSink([&trace](const std::string& line) {
            trace.write(line.c_str());
            trace.write("\n");
            trace.flush();
        });
    }

    PtyLine line(ecu, faults);
    std::string failure;
    if (!line.open(failure)) {
        std::fprintf(stderr, "ecusim: %s\n", failure.c_str());
        return 1;
    }
    line.setPace(options.baud > 0 ? options.baud : (options.lineSpeed ? -1 : 0));
    line.setExitOnEof(options.exitOnEof);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::printf("%s\n", line.deviceName().c_str());
    std::fflush(stdout);
    return line.run(stopRequested);
}
