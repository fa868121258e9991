// bench_transfer: a full read and a full write of the configuration, through the real link
// library, over a pseudo-terminal to ecusim pacing its bytes at the protocol's baud.
//
// For each transfer it prints the elapsed time, the fixed waits the transfer itself makes
// (500 ms steps, reconnection), the bytes exchanged and their wire time, and the round trips.
// Last line: "ratio X" = (elapsed - waits) / wire time of the full read (the middle one of
// three).
//
// bench_transfer --corrupt R | --drop R [--reads N]: N full reads (20 by default) through
// ecusim with that rate of changed or lost bytes. Prints the success rate, the mean time of a
// successful read and its ratio to a clean read's time. Every successful read must equal the
// clean read value for value: a mismatch fails the bench, loudly.
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

#include "Catalogue.h"
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

// ecusim with these options on a pseudo-terminal; ECU_PORT names its device.
bool startSim(QProcess& sim, QStringList arguments) {
    const QString ecusim =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ecusim"));
    arguments << QStringLiteral("--baud") << QString::number(kBaud)
              << QStringLiteral("--exit-on-eof");
    sim.start(ecusim, arguments);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_transfer: cannot start %s\n", qPrintable(ecusim));
        return false;
    }
    qputenv("ECU_PORT", sim.readLine().trimmed());
    return true;
}

void stopSim(QProcess& sim) {
    sim.closeWriteChannel();
    if (!sim.waitForFinished(3000)) sim.kill();
    sim.waitForFinished(3000);
}

// Every value of the store and the identity, in one list.
std::vector<int32_t> snapshot(TStreamDati& data) {
    std::vector<int32_t> all;
    for (int row = 1; row <= Catalogue::kRowCount; ++row) {
        const auto& values = data.Store().values(row);
        all.insert(all.end(), values.begin(), values.end());
    }
    for (uint8_t b : data.Store().identity()) all.push_back(b);
    return all;
}

// A value no read gives, so that a row left unread shows.
void poison(TStreamDati& data) {
    for (int row = 1; row <= Catalogue::kRowCount; ++row)
        for (int32_t& v : data.Store().values(row)) v = -123456;
    data.Store().identity().fill(0xEE);
}

// One full read from a fresh store, connecting first when the link is down.
bool fullRead(TStreamDati& data, qint64& elapsedMs) {
    QElapsedTimer timer;
    timer.start();
    poison(data);
    if (!data.IsConnected() && !(data.OpenLink() && data.WaitReady(5000))) {
        elapsedMs = timer.elapsed();
        return false;
    }
    const bool ok = data.Transfer(TStreamDati::kReadEcu);
    elapsedMs = timer.elapsed();
    return ok;
}

int noisyReads(const QStringList& fault, int reads) {
    std::vector<int32_t> reference;
    qint64 cleanMs = 0;
    for (const bool noisy : {false, true}) {
        QProcess sim;
        if (!startSim(sim, noisy ? fault : QStringList{})) return 1;
        TStreamDati data(TStreamDati::Options{.loadSettings = false});
        if (!data.QorConnectEcu().IsLoaded()) return 1;
        int ok = 0;
        qint64 totalMs = 0;
        for (int i = 0; i < (noisy ? reads : 1); ++i) {
            qint64 ms = 0;
            if (!fullRead(data, ms)) {
                std::printf("read %2d failed after %lld ms\n", i + 1, static_cast<long long>(ms));
                continue;
            }
            const std::vector<int32_t> values = snapshot(data);
            if (!noisy) {
                reference = values;
                cleanMs = ms;
            } else if (values != reference) {
                std::fprintf(stderr,
                             "bench_transfer: WRONG VALUES: read %d succeeded with values "
                             "other than the clean read's\n",
                             i + 1);
                return 2;
            }
            ++ok;
            totalMs += ms;
        }
        data.link().Disconnect();
        stopSim(sim);
        if (!noisy) {
            if (ok != 1) {
                std::fprintf(stderr, "bench_transfer: the clean read failed\n");
                return 1;
            }
            std::printf("clean read %lld ms\n", static_cast<long long>(cleanMs));
            continue;
        }
        const double mean = ok > 0 ? static_cast<double>(totalMs) / ok : 0;
        std::printf(
            "%s %s: %d of %d reads succeeded (%.0f %%), every one equal to the clean read; "
            "mean %.0f ms, ratio to clean %.2f\n",
            qPrintable(fault[0]), qPrintable(fault[1]), ok, reads, 100.0 * ok / reads, mean,
            mean / static_cast<double>(std::max<qint64>(cleanMs, 1)));
    }
    return 0;
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
    const QStringList args = app.arguments();
    for (const char* option : {"--corrupt", "--drop"}) {
        const int at = static_cast<int>(args.indexOf(QLatin1String(option)));
        if (at < 0) continue;
        bool rateOk = false;
        const double rate = args.value(at + 1).toDouble(&rateOk);
        const int readsAt = static_cast<int>(args.indexOf(QStringLiteral("--reads")));
        const int reads = readsAt < 0 ? 20 : args.value(readsAt + 1).toInt();
        if (!rateOk || rate < 0 || rate > 1 || reads < 1 || reads > 10000) {
            std::fprintf(stderr, "usage: bench_transfer [--corrupt R | --drop R] [--reads N]\n");
            return 1;
        }
        SystemClock clock;
        ScopedClock useClock(clock);
        return noisyReads({QLatin1String(option), args.value(at + 1)}, reads);
    }
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
