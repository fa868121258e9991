// bench_graph: the acquisition graph on a long recording, offscreen. A two-probe recording of
// the given hours (one record every 150 ms: 24,000 an hour, 576,000 a day) is written with the
// live view's writer, then timed: reading it, opening the window up to its first paint, zooms
// at ranges from nearly everything down to a few seconds, each repainted, an undo zoom; then a
// second recording of the same length laid over it and the zooms again; the XY view of both;
// and the peak memory.
//
// Usage: bench_graph [--hours N] [--each] (4 hours by default; --each prints every zoom). Prints each figure in milliseconds, the zooms'
// median and 99th percentile.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "AcquisitionReader.h"
#include "AcquisitionWriter.h"
#include "GraphView.h"
#include "TFormGraficoDrt.h"

namespace {
constexpr int kPeriodMs = 150;
constexpr int kRecordsPerHour = 3600 * 1000 / kPeriodMs;
constexpr int kZooms = 100;
bool printEach = false;  // --each: every zoom's span and times

// A drive: the engine speed wanders between idle and high revs, the probes swing, the
// temperatures climb and settle. `drive` changes the phase, so a second drive differs.
AcquisitionRecord driveAt(int i, int drive) {
    const double t = i * kPeriodMs * 0.001 + drive * 17.0;
    AcquisitionRecord r;
    r.time = i * kPeriodMs;
    r.rpm = int(2200 + 1400 * std::sin(t / 37.0) + 500 * std::sin(t / 3.1) + (i * 7919) % 211);
    r.lambda1 = std::trunc((0.45 + 0.4 * std::sin(t * 1.7)) * 100) * 0.01;
    r.gasTime1 = 3.5 + 1.5 * std::sin(t / 37.0) + (i % 17) * 0.01;
    r.petrolTime1 = 4.2 + 1.8 * std::sin(t / 37.0);
    r.pressure = 1.1 + 0.05 * std::sin(t / 11.0);
    r.reducerTemp = std::trunc(80 - 60 * std::exp(-t / 600.0));
    r.engineTemp = std::trunc(90 - 70 * std::exp(-t / 900.0));
    r.lambda2 = std::trunc((0.45 + 0.4 * std::cos(t * 1.3)) * 100) * 0.01;
    r.gasTime2 = r.gasTime1 + 0.1;
    r.petrolTime2 = r.petrolTime1 - 0.1;
    return r;
}

QString writeRecording(const QString& folder, int records, int drive) {
    AcquisitionWriter writer;
    if (!writer.Open(folder, 2, QStringLiteral("bench"))) return {};
    for (int i = 0; i < records; ++i) {
        if (!writer.Append(driveAt(i, drive))) return {};
    }
    return writer.Close() ? writer.Path() : QString();
}

double msSince(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

void repaint(TFormGraficoDrt& form) {
    QApplication::processEvents();
    form.View->repaint();
}

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// This thread's processor time: what the work cost, whatever else the machine was running.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

struct Times {
    std::vector<double> wall;
    std::vector<double> cpu;
};

// Zooms from nearly everything down to a few seconds, spread over the recording, each
// repainted; the milliseconds of each.
Times zooms(TFormGraficoDrt& form) {
    const double whole = form.Model()->Whole().to;
    Times times;
    QElapsedTimer timer;
    for (int i = 0; i < kZooms; ++i) {
        const double span = whole * std::pow(0.85, i % 40);
        const double from = (whole - span) * ((i * 7) % kZooms) / double(kZooms);
        timer.start();
        const double cpu = cpuMs();
        form.ZoomTo(from, from + span);
        repaint(form);
        times.wall.push_back(msSince(timer));
        times.cpu.push_back(cpuMs() - cpu);
        if (printEach)
            std::printf("zoom %d span_s %.1f wall_ms %.2f cpu_ms %.2f\n", i, span,
                        times.wall.back(), times.cpu.back());
    }
    return times;
}

void report(const char* name, const Times& t) {
    std::printf("%s_median_ms %.2f\n", name, percentile(t.wall, 0.5));
    std::printf("%s_p99_ms %.2f\n", name, percentile(t.wall, 0.99));
    std::printf("%s_max_ms %.2f\n", name, *std::max_element(t.wall.begin(), t.wall.end()));
    std::printf("%s_cpu_median_ms %.2f\n", name, percentile(t.cpu, 0.5));
    std::printf("%s_cpu_p99_ms %.2f\n", name, percentile(t.cpu, 0.99));
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    double hours = 4;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--hours" && i + 1 < argc) hours = std::atof(argv[++i]);
        if (QByteArray(argv[i]) == "--each") printEach = true;
    }
    const int records = std::max(1, int(hours * kRecordsPerHour));
    QTemporaryDir folder;
    QElapsedTimer timer;

    timer.start();
    const QString path = writeRecording(folder.path(), records, 0);
    const QString second = writeRecording(folder.path(), records, 1);
    if (path.isEmpty() || second.isEmpty()) {
        std::fprintf(stderr, "bench_graph: the recordings could not be written\n");
        return 1;
    }
    std::printf("hours %.2f, records %d (%lld bytes), two written in %.0f ms\n", hours, records,
                QFile(path).size(), msSince(timer));

    AcquisitionReader::Recording recording;
    timer.start();
    if (AcquisitionReader::Read(path, recording) != AcquisitionReader::Result::Read) return 1;
    std::printf("read_ms %.1f\n", msSince(timer));
    recording = {};

    timer.start();
    const double openCpu = cpuMs();
    TFormGraficoDrt form(path, QRect(0, 0, 1024, 768));
    if (!form.Load()) return 1;
    form.resize(1024, 768);
    form.show();
    repaint(form);
    const double openMs = msSince(timer);
    const double openCpuMs = cpuMs() - openCpu;
    const Times alone = zooms(form);
    timer.start();
    form.ActionAnnullaZoomExecute();
    repaint(form);
    const double undoMs = msSince(timer);
    const long peakAlone = peakKb();

    timer.start();
    if (!form.Compare(second)) return 1;
    repaint(form);
    const double compareMs = msSince(timer);
    const Times compared = zooms(form);
    form.ActionAnnullaZoomExecute();

    timer.start();
    form.ActionVistaXYExecute();
    repaint(form);
    const double xyMs = msSince(timer);
    Times xyRedraws;
    for (int i = 0; i < 10; ++i) {
        timer.start();
        const double cpu = cpuMs();
        form.View->update();
        form.View->repaint();
        xyRedraws.wall.push_back(msSince(timer));
        xyRedraws.cpu.push_back(cpuMs() - cpu);
    }
    const long peak = peakKb();

    std::printf("open_to_first_paint_ms %.1f\n", openMs);
    std::printf("open_to_first_paint_cpu_ms %.1f\n", openCpuMs);
    report("zoom_redraw", alone);
    std::printf("undo_zoom_ms %.1f\n", undoMs);
    std::printf("peak_memory_one_recording_mb %.1f\n", peakAlone / 1024.0);
    std::printf("compare_open_to_paint_ms %.1f\n", compareMs);
    report("zoom_redraw_compared", compared);
    std::printf("xy_view_of_both_ms %.1f\n", xyMs);
    report("xy_repaint", xyRedraws);
    std::printf("peak_memory_mb %.1f\n", peak / 1024.0);
    return 0;
}
