// bench_link: round trips of the real library over a pseudo-terminal against ecusim with
// line-speed emulation, compared with the wire time of the bytes exchanged at the line's
// baud. The last line is "ratio X", elapsed / wire time.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLibrary>
#include <QProcess>
#include <array>
#include <cstdio>

#include "IEcuLink.h"
#include "Protocol.h"

namespace {
namespace p = ecu::protocol;

double wireMs(int bytes) { return bytes * p::kBitsPerByte * 1000.0 / p::kBaudRate; }

struct Measure {
    const char* name;
    int bytes;  // request and reply frames
    double elapsedMs = 0;
    int count = 0;
};
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, atoi(argv[1])) : 200;
    const QString bin = QCoreApplication::applicationDirPath();
    QProcess sim;
    sim.start(bin + "/ecusim", {"--line-speed", "--exit-on-eof"});
    if (!sim.waitForStarted(10000)) return std::fprintf(stderr, "ecusim did not start\n"), 1;
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(10000)) return std::fprintf(stderr, "no device\n"), 1;
    qputenv("ECU_PORT", sim.readLine().trimmed());

    QLibrary library(bin + "/libSerQorDL.so");
    auto create = reinterpret_cast<CreateClassInstanceFn>(library.resolve("_CreateClassInstance"));
    auto destroy =
        reinterpret_cast<DestroyClassInstanceFn>(library.resolve("_DestroyClassInstance"));
    if (!create || !destroy)
        return std::fprintf(stderr, "%s\n", qPrintable(library.errorString())), 1;
    IEcuLink* link = create();
    link->ConfigureLink1(0);
    link->ConfigureLink2(5);
    link->ConfigureLink3(600);
    link->ConfigureLink4(30, 600);
    if (!link->OpenLink()) return std::fprintf(stderr, "no ECU\n"), 1;

    // ReadBlock 1: request 1 + 6 bytes, reply 34 + 6; ReadVariable 8963: 4 + 6, 4 + 6.
    Measure block{"ReadBlock 1", 7 + 40};
    Measure variable{"ReadVariable 8963", 10 + 10};
    std::array<uint8_t, 34> bytes{};
    std::array<int32_t, 2> flags{};
    int failures = 0;
    for (int i = 0; i < rounds + 10; ++i) {
        QElapsedTimer timer;
        timer.start();
        int32_t length = 34;
        failures += link->ReadBlock(1, bytes.data(), &length) == 0;
        const double a = timer.nsecsElapsed() / 1e6;
        timer.restart();
        failures += link->ReadVariable(8963, flags.data()) == 0;
        const double b = timer.nsecsElapsed() / 1e6;
        if (i < 10) continue;  // warm-up
        block.elapsedMs += a, ++block.count;
        variable.elapsedMs += b, ++variable.count;
    }
    link->Disconnect();
    destroy(link);
    sim.closeWriteChannel();
    sim.waitForFinished(5000);

    double elapsed = 0, wire = 0;
    for (const Measure* m : {&block, &variable}) {
        const double mean = m->elapsedMs / m->count;
        std::printf(
            "%-18s %d round trips at %d baud: %.3f ms each, wire time %.3f ms, ratio %.3f\n",
            m->name, m->count, p::kBaudRate, mean, wireMs(m->bytes), mean / wireMs(m->bytes));
        elapsed += m->elapsedMs;
        wire += wireMs(m->bytes) * m->count;
    }
    std::printf("failed operations: %d\n", failures);
    std::printf("ratio %.3f\n", elapsed / wire);
    return failures == 0 ? 0 : 1;
}
