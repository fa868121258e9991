// bench_transfer: a full read and a full write of the configuration, through the real link
// library, over a pseudo-terminal to ecusim pacing its bytes at the protocol's baud.
//
// For each transfer it prints the elapsed time, the fixed waits the transfer itself makes
// (500 ms steps, reconnection), the bytes exchanged and their wire time, and the round trips.
// Last line: "ratio X" = (elapsed - waits) / wire time of the full read (the middle one of
// three).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "Clock.h"
#include "Protocol.h"
#include "SystemClock.h"
#include "TStreamDati.h"

namespace {
constexpr int kBaud = ecu::protocol::kBaudRate;
constexpr int kBitsPerByte = ecu::protocol::kBitsPerByte;

// The system clock, counting the waits the program asks for.
class CountingClock final : public Clock {
  public:
    qint64 nowMs() const override { return clock_.nowMs(); }
    void waitMs(int ms) override {
        waited_ += ms > 0 ? ms : 0;
        clock_.waitMs(ms);
    }
    qint64 waited() const { return waited_; }

  private:
    SystemClock clock_;
    qint64 waited_ = 0;
};

struct Counters {
    qint64 read = 0;     // bytes ecusim read: requests
    qint64 written = 0;  // bytes ecusim wrote: replies and trace lines
    qint64 traceBytes = 0;
    qint64 traceLines = 0;
};

qint64 ioField(const QByteArray& io, const char* name) {
    for (const QByteArray& line : io.split('\n'))
        if (line.startsWith(name))
            return line.mid(static_cast<int>(qstrlen(name))).trimmed().toLongLong();
    return 0;
}

Counters sample(qint64 pid, const QString& tracePath) {
    QFile io(QStringLiteral("/proc/%1/io").arg(pid));
    Counters c;
    if (io.open(QIODevice::ReadOnly)) {
        const QByteArray text = io.readAll();
        c.read = ioField(text, "rchar:");
        c.written = ioField(text, "wchar:");
    }
    QFile trace(tracePath);
    if (trace.open(QIODevice::ReadOnly)) {
        const QByteArray text = trace.readAll();
        c.traceBytes = text.size();
        c.traceLines = text.count('\n');
    }
    return c;
}

struct Result {
    qint64 elapsedMs;
    qint64 waitsMs;
    qint64 bytes;
    double wireMs;
    qint64 roundTrips;
    bool ok;
};

template <typename Run>
Result measure(const char* name, qint64 pid, const QString& tracePath, CountingClock& clock,
               Run run) {
    const Counters before = sample(pid, tracePath);
    const qint64 waitedBefore = clock.waited();
    QElapsedTimer timer;
    timer.start();
    const bool ok = run();
    const qint64 elapsed = timer.elapsed();
    const Counters after = sample(pid, tracePath);
    const qint64 traceGrowth = after.traceBytes - before.traceBytes;
    const qint64 bytes =
        (after.read - before.read) + (after.written - before.written - traceGrowth);
    const Result r{elapsed,
                   clock.waited() - waitedBefore,
                   bytes,
                   bytes * kBitsPerByte * 1000.0 / kBaud,
                   after.traceLines - before.traceLines,
                   ok};
    std::printf(
        "%-10s %s elapsed %lld ms, prescribed waits %lld ms, %lld bytes, wire %.0f ms, "
        "%lld round trips\n",
        name, ok ? "ok    " : "FAILED", static_cast<long long>(r.elapsedMs),
        static_cast<long long>(r.waitsMs), static_cast<long long>(r.bytes), r.wireMs,
        static_cast<long long>(r.roundTrips));
    return r;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());
    const QString tracePath = work.filePath(QStringLiteral("trace.txt"));

    QProcess sim;
    const QString ecusim =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ecusim"));
    sim.start(ecusim, {QStringLiteral("--baud"), QString::number(kBaud), QStringLiteral("--trace"),
                       tracePath, QStringLiteral("--exit-on-eof")});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_transfer: cannot start %s\n", qPrintable(ecusim));
        return 1;
    }
    const QByteArray device = sim.readLine().trimmed();
    qputenv("ECU_PORT", device);

    CountingClock clock;
    ScopedClock useClock(clock);
    int status = 0;
    {
        TStreamDati data(TStreamDati::Options{.loadSettings = false});
        if (!data.QorConnectEcu().IsLoaded()) {
            std::fprintf(stderr, "bench_transfer: no link library: %s\n",
                         qPrintable(data.QorConnectEcu().LoadError()));
            return 1;
        }
        IEcuLink& link = data.link();
        if (!link.OpenLink() || !data.WaitReady(20000)) {
            std::fprintf(stderr, "bench_transfer: no ECU on %s\n", device.constData());
            return 1;
        }
        std::printf("ecusim on %s at %d baud\n", device.constData(), kBaud);
        const qint64 pid = sim.processId();
        // Three reads: the ratio is the middle one, the machine's load being what it is.
        std::vector<Result> reads;
        for (int i = 0; i < 3; ++i)
            reads.push_back(measure("full read", pid, tracePath, clock,
                                    [&] { return data.Transfer(TStreamDati::kReadEcu); }));
        std::sort(reads.begin(), reads.end(),
                  [](const Result& a, const Result& b) { return a.elapsedMs < b.elapsedMs; });
        const Result read = reads[1];
        data.Transfer(TStreamDati::kLoadDefaults);
        const Result write = measure("full write", pid, tracePath, clock,
                                     [&] { return data.Transfer(TStreamDati::kWriteEcu); });
        for (const Result& r : reads)
            if (!r.ok) status = 1;
        if (!write.ok) status = 1;
        std::printf("ratio %.2f\n", (read.elapsedMs - read.waitsMs) / read.wireMs);
        link.Disconnect();
    }
    sim.closeWriteChannel();
    if (!sim.waitForFinished(3000)) sim.kill();
    return status;
}
