#include "SimOptions.h"

#include <QCommandLineParser>

namespace {
bool toInt(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int value = text.toInt(&ok, 0);
    if (!ok || value < low || value > high) return false;
    out = value;
    return true;
}

bool toRate(const QString& text, double& out) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || value < 0 || value > 1) return false;
    out = value;
    return true;
}
// The ECU keeps one byte a character in 20 elements; what it cannot hold is refused.
bool toSerial(const QString& text, std::string& out) {
    if (text.isEmpty() || text.size() > 20) return false;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) return false;
    out = text.toStdString();
    return true;
}
}  // namespace

bool SimOptions::parse(const QStringList& arguments, QString& error) {
    QCommandLineParser p;
    p.setApplicationDescription(
        "The virtual ECU on a pseudo-terminal. Prints the device path on its first line.");
    p.addHelpOption();
    const QCommandLineOption model("model", "Model code (30 or 31; default 30).", "code");
    const QCommandLineOption customer("customer", "Customer code (253 = blank; default 7).",
                                      "code");
    const QCommandLineOption bootCustomer("boot-customer", "Boot loader customer code.", "code");
    const QCommandLineOption firmware("firmware", "Firmware version (default 4.7).", "major.minor");
    const QCommandLineOption init("init-request", "Start with the initialisation request set.");
    const QCommandLineOption pressure("pressure-coeff", "Variable 124: 8, 16 or none.", "form");
    const QCommandLineOption kmap("kmap", "K map size (default 6x12).", "columnsxrows");
    const QCommandLineOption calErrors("calibration-errors", "Calibration error bits.", "mask");
    const QCommandLineOption progResult("program-result", "Programming result to report.", "n");
    const QCommandLineOption progFailures("program-failures", "Runs that get it (-1 = all).", "n");
    const QCommandLineOption trace("trace", "One line per request into this file.", "file");
    const QCommandLineOption drop("drop", "Rate of lost bytes, 0..1.", "rate");
    const QCommandLineOption corrupt("corrupt", "Rate of changed bytes, 0..1.", "rate");
    const QCommandLineOption latency("latency", "Added reply delay.", "ms");
    const QCommandLineOption speed("line-speed", "Pace bytes at the baud set on the port.");
    const QCommandLineOption baudOption("baud", "Pace bytes at this baud.", "baud");
    const QCommandLineOption pull("pull-after", "Pull the cable after this many frames.", "n");
    const QCommandLineOption refuse("refuse-writes", "Refuse every write.");
    const QCommandLineOption refuseAfter("refuse-writes-after-programming",
                                         "Refuse every write once programmed.");
    const QCommandLineOption liveBytes("live-bytes", "Bytes of live-data block 1 (34).", "n");
    const QCommandLineOption seed("seed", "Seed of the engine noise and the faults.", "n");
    const QCommandLineOption bootMs("boot-ms", "Readiness delay after a handshake.", "ms");
    const QCommandLineOption restartMs("restart-ms", "Silence after a restart.", "ms");
    const QCommandLineOption eof("exit-on-eof", "Exit when standard input closes.");
    const QCommandLineOption serial("serial", "Serial number (up to 20 printable characters).",
                                    "text");
    p.addOptions({model,     customer,   bootCustomer, firmware, init,        pressure, kmap,
                  calErrors, progResult, progFailures, trace,    drop,        corrupt,  latency,
                  speed,     baudOption, pull,         refuse,   refuseAfter, seed,     bootMs,
                  restartMs, eof,        liveBytes,    serial});
    if (!p.parse(arguments)) {
        error = p.errorText();
        return false;
    }
    if (p.isSet("help")) {
        error = p.helpText();
        return false;
    }
    auto integer = [&](const QCommandLineOption& o, int low, int high, int& out) {
        if (!p.isSet(o) || toInt(p.value(o), low, high, out)) return true;
        error = "--" + o.names().first() + ": not a number in " + QString::number(low) + ".." +
                QString::number(high);
        return false;
    };
    int calibration = 0, seedValue = 1, programResult = 0;
    if (!integer(model, 0, 255, ecu.model) || !integer(customer, 0, 255, ecu.customer) ||
        !integer(bootCustomer, 0, 255, ecu.bootCustomer) ||
        !integer(calErrors, 0, 255, calibration) ||
        !integer(progResult, -2147483647, 2147483647, programResult) ||
        !integer(progFailures, -1, 1000000, ecu.programFailures) ||
        !integer(latency, 0, 60000, latencyMs) || !integer(pull, 0, 1 << 30, pullAfterFrames) ||
        !integer(baudOption, 0, 4000000, baud) || !integer(seed, 0, 1 << 30, seedValue) ||
        !integer(bootMs, 0, 600000, ecu.bootMs) || !integer(restartMs, 0, 600000, ecu.restartMs) ||
        !integer(liveBytes, 0, 34, ecu.liveBlockBytes))
        return false;
    ecu.calibrationErrors = static_cast<uint8_t>(calibration);
    ecu.programResult = programResult;
    ecu.seed = static_cast<uint32_t>(seedValue);
    ecu.initRequest = p.isSet(init);
    ecu.refuseWrites = p.isSet(refuse);
    ecu.refuseWritesAfterProgramming = p.isSet(refuseAfter);
    lineSpeed = p.isSet(speed);
    exitOnEof = p.isSet(eof);
    tracePath = p.value(trace);
    if (p.isSet(firmware)) {
        const QStringList parts = p.value(firmware).split('.');
        if (parts.size() != 2 || !toInt(parts[0], 0, 255, ecu.firmwareMajor) ||
            !toInt(parts[1], 0, 255, ecu.firmwareMinor)) {
            error = "--firmware: expected major.minor, e.g. 4.7";
            return false;
        }
    }
    if (p.isSet(serial) && !toSerial(p.value(serial), ecu.serialNumber)) {
        error = "--serial: up to 20 printable ASCII characters";
        return false;
    }
    if (p.isSet(pressure)) {
        using Form = sim::VirtualEcuOptions::PressureCoefficients;
        const QString form = p.value(pressure);
        if (form == "8")
            ecu.pressureCoefficients = Form::Bits8;
        else if (form == "16")
            ecu.pressureCoefficients = Form::Bits16;
        else if (form == "none")
            ecu.pressureCoefficients = Form::Absent;
        else {
            error = "--pressure-coeff: 8, 16 or none";
            return false;
        }
    }
    if (p.isSet(kmap)) {
        const QStringList parts = p.value(kmap).split('x');
        if (parts.size() != 2 || !toInt(parts[0], 1, 12, ecu.kColumns) ||
            !toInt(parts[1], 1, 12, ecu.kRows)) {
            error = "--kmap: expected columnsxrows, each 1..12, e.g. 6x12";
            return false;
        }
    }
    if ((p.isSet(drop) && !toRate(p.value(drop), dropRate)) ||
        (p.isSet(corrupt) && !toRate(p.value(corrupt), corruptRate))) {
        error = "--drop/--corrupt: a rate between 0 and 1";
        return false;
    }
    return true;
}
