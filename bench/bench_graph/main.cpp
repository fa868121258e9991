// bench_graph: the acquisition graph on a long recording, offscreen. A 4 h two-probe recording
// (96,000 records at 150 ms, about a million points over ten traces) is written with the live
// view's writer, then timed: reading it, opening the window up to its first paint, 20 zooms at
// different ranges each repainted (median and maximum), an undo zoom, and the peak memory; for
// comparison, every point handed to the chart and painted (and with --every-point-zoom, one
// zoom of that chart). An optional number of records replaces the 96,000.
//
// Prints each figure in milliseconds; the last two lines are "open_ms N" and "redraw_ms N" (the
// median zoom redraw).
#include <QApplication>
#include <QChart>
#include <QElapsedTimer>
#include <QFile>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "AcquisitionReader.h"
#include "AcquisitionWriter.h"
#include "GraphTraces.h"
#include "GraphView.h"
#include "TFormGraficoDrt.h"

namespace {
constexpr int kDefaultRecords = 96000;
int kRecords = kDefaultRecords;
constexpr int kPeriodMs = 150;
constexpr int kZooms = 20;

// A drive: the engine speed wanders between idle and high revs, the probes swing, the
// temperatures climb and settle.
AcquisitionRecord driveAt(int i) {
    const double t = i * kPeriodMs * 0.001;
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

QString writeRecording(const QString& folder) {
    AcquisitionWriter writer;
    if (!writer.Open(folder, 2, QStringLiteral("bench"))) return {};
    for (int i = 0; i < kRecords; ++i) {
        if (!writer.Append(driveAt(i))) return {};
    }
    return writer.Close() ? writer.Path() : QString();
}

double msSince(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

void repaint(TFormGraficoDrt& form) {
    QApplication::processEvents();
    form.View->viewport()->repaint();
}

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bool everyPointZoom = false;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--every-point-zoom")
            everyPointZoom = true;
        else
            kRecords = std::max(1, atoi(argv[i]));
    }
    QTemporaryDir folder;
    QElapsedTimer timer;

    timer.start();
    const QString path = writeRecording(folder.path());
    if (path.isEmpty()) {
        std::fprintf(stderr, "bench_graph: the recording could not be written\n");
        return 1;
    }
    std::printf("records %d (%lld bytes), written in %.0f ms\n", kRecords, QFile(path).size(),
                msSince(timer));

    AcquisitionReader::Recording recording;
    timer.start();
    if (AcquisitionReader::Read(path, recording) != AcquisitionReader::Result::Read) return 1;
    std::printf("read_ms %.1f\n", msSince(timer));

    timer.start();
    TFormGraficoDrt form(path, QRect(0, 0, 1024, 768));
    if (!form.Load()) return 1;
    form.resize(1024, 768);
    form.show();
    repaint(form);
    const double openMs = msSince(timer);

    const double whole = form.Model()->Whole().to;
    std::vector<double> zooms;
    for (int i = 0; i < kZooms; ++i) {
        // From nearly everything down to a few seconds, spread over the recording.
        const double span = whole * std::pow(0.6, i);
        const double from = (whole - span) * ((i * 7) % kZooms) / double(kZooms);
        timer.start();
        form.ZoomTo(from, from + span);
        repaint(form);
        zooms.push_back(msSince(timer));
    }
    timer.start();
    form.ActionAnnullaZoomExecute();
    repaint(form);
    const double undoMs = msSince(timer);
    const long peak = peakKb();

    // The same window with every record of every trace handed to the chart.
    timer.start();
    for (int trace = 0; trace < form.Series.size(); ++trace) {
        QList<QPointF> points;
        points.reserve(kRecords);
        for (const AcquisitionRecord& r : form.Model()->Records())
            points.append(QPointF(r.time * 0.001, GraphTraces::All()[trace].value(r)));
        form.Series[trace]->replace(points);
    }
    repaint(form);
    const double allPointsMs = msSince(timer);
    // A zoom of the chart holding every point lays each line out again many times over, for
    // minutes on a recording this long: only on request.
    double allPointsZoomMs = -1;
    if (everyPointZoom) {
        timer.start();
        form.AxisX->setRange(whole * 0.25, whole * 0.5);
        repaint(form);
        allPointsZoomMs = msSince(timer);
    }

    std::printf("open_to_first_paint_ms %.1f\n", openMs);
    std::printf("zoom_redraw_median_ms %.1f\n", median(zooms));
    std::printf("zoom_redraw_max_ms %.1f\n", *std::max_element(zooms.begin(), zooms.end()));
    std::printf("undo_zoom_ms %.1f\n", undoMs);
    std::printf("peak_memory_mb %.1f\n", peak / 1024.0);
    std::printf("every_point_replace_and_paint_ms %.1f\n", allPointsMs);
    if (everyPointZoom) std::printf("every_point_zoom_redraw_ms %.1f\n", allPointsZoomMs);
    std::printf("open_ms %.0f\n", openMs);
    std::printf("redraw_ms %.0f\n", median(zooms));
    return 0;
}
