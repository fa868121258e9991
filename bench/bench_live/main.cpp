// bench_live: the work of one poll of the live view on the user-interface thread, the wait
// for the link aside: decoding the block, the texts, the needle, the bars, one record
// appended to a running recording, and the repaint of what changed (offscreen).
//
// The blocks are the virtual ECU's own, one every 150 ms of its engine script (start, idle,
// revs, cruise), generated before the timing starts. The screen is laid out for 1024 x 768
// with a second probe and the MAP group shown, so every group does its work.
//
// With --rolling the chart of the last minute stands in the dial's place (Ctrl+F7), and each
// tick also redraws it.
//
// Usage: bench_live [--rolling] [TICKS]. Prints the median and the 99th percentile over the
// ticks, in milliseconds; the last two lines are "median_ms X" and "p99_ms Y".
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

#include "AcquisitionReader.h"
#include "Catalogue.h"
#include "Clock.h"
#include "LiveBlock.h"
#include "TFormVisualizza.h"
#include "TStreamDati.h"
#include "VirtualEcu.h"

namespace {
constexpr int kDefaultTicks = 2000;
constexpr int kWarmUp = 50;
constexpr int kSecondProbeAndMap = 0x2000;  // "Flag1": option 13 on, single-probe bit clear

std::vector<std::vector<uint8_t>> engineBlocks(int count) {
    sim::VirtualEcu ecu;
    std::vector<std::vector<uint8_t>> blocks;
    for (int i = 0; i < count; ++i) {
        const int64_t now = static_cast<int64_t>(i) * TFormVisualizza::kPollMs;
        ecu.advanceTo(now);
        blocks.push_back(ecu.liveBlock(now));
    }
    return blocks;
}

// The blocks' own time: the chart keeps the minute the blocks span, not the bench's seconds.
class BlockClock final : public Clock {
  public:
    qint64 nowMs() const override { return now_; }
    void waitMs(int ms) override { now_ += ms; }

  private:
    qint64 now_ = 0;
};

// This thread's processor time: what the tick cost, whatever else the machine was running.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double percentile(std::vector<double> sorted, double p) {
    std::sort(sorted.begin(), sorted.end());
    const auto at = static_cast<size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int ticks = kDefaultTicks;
    bool rolling = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--rolling")
            rolling = true;
        else
            ticks = std::max(1, atoi(argv[i]));
    }

    QTemporaryDir base;
    TStreamDati data(TStreamDati::Options{.loadLinkLibrary = false, .loadSettings = false});
    data.Store().set(Catalogue::kFlags, 0, kSecondProbeAndMap);
    const auto blocks = engineBlocks(ticks + kWarmUp);

    TFormVisualizza form(data, base.path(), QRect(0, 0, 1024, 768));
    form.Timer1->stop();
    form.show();
    QApplication::processEvents();
    form.ActionIniziaExecute();
    if (rolling) form.ActionScorrevoleExecute();
    if (!form.Recorder().IsRecording()) {
        std::fprintf(stderr, "bench_live: the recording did not start\n");
        return 1;
    }

    BlockClock clock;
    const ScopedClock useClock(clock);
    std::vector<double> ms;
    std::vector<double> cpu;
    ms.reserve(static_cast<size_t>(ticks));
    LiveValues values;
    QElapsedTimer timer;
    for (size_t i = 0; i < blocks.size(); ++i) {
        const std::vector<uint8_t>& block = blocks[i];
        clock.waitMs(TFormVisualizza::kPollMs);
        timer.start();
        const double cpuStart = cpuMs();
        values = LiveBlock::Decode(LiveBlock::Bytes(block.data(), LiveBlock::kSize),
                                   LiveBlock::kSize, data, values);
        form.ShowValues(values);
        QApplication::processEvents();
        const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (i >= kWarmUp) {
            ms.push_back(elapsed);
            cpu.push_back(cpuMs() - cpuStart);
        }
    }

    // The recording holds every tick: the work measured was the real work.
    const QString recording = form.Recorder().TemporaryPath();
    form.hide();
    AcquisitionReader::Recording read;
    const auto result = AcquisitionReader::Read(recording, read);
    std::printf("ticks %d%s, records %zu, file %s\n", ticks, rolling ? " with the rolling chart" : "",
                read.records.size(),
                result == AcquisitionReader::Result::Read ? "valid" : "INVALID");
    std::printf("cpu_median_ms %.3f\n", percentile(cpu, 0.5));
    std::printf("cpu_p99_ms %.3f\n", percentile(cpu, 0.99));
    std::printf("max_ms %.3f\n", *std::max_element(ms.begin(), ms.end()));
    std::printf("median_ms %.3f\n", percentile(ms, 0.5));
    std::printf("p99_ms %.3f\n", percentile(ms, 0.99));
    return result == AcquisitionReader::Result::Read &&
                   read.records.size() == static_cast<size_t>(ticks + kWarmUp)
               ? 0
               : 1;
}
