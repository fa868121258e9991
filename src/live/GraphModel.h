#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

#include "AcquisitionReader.h"
#include "GraphData.h"

// What the acquisition graph shows, without its window: the traces of a recording, which of
// them are shown, the zoomed time range, the points to draw there, the value range they need,
// the reading under the cursor and the recording as comma-separated values.
class GraphModel {
  public:
    struct Range {
        double from = 0;
        double to = 1;
        bool operator==(const Range&) const = default;
    };
    // The values of the shown traces at a time: those of the last record at or before it.
    struct Reading {
        double seconds = 0;                          // of that record
        std::vector<std::pair<int, double>> values;  // trace, value on the common axis
        std::vector<double> readings;                // the same in each quantity's own unit
    };

    explicit GraphModel(AcquisitionReader::Recording recording);

    int Version() const { return version_; }
    // Seven traces for a one-probe file, ten for any other.
    int TraceCount() const { return traceCount_; }
    const std::vector<AcquisitionRecord>& Records() const { return records_; }

    // Whether the records carry this trace (a version 3 file has no second-probe traces).
    bool HasPoints(int trace) const;
    void SetShown(int trace, bool shown);
    bool IsShown(int trace) const { return shown_.at(size_t(trace)); }

    // The whole recording, never an empty span.
    Range Whole() const;
    Range Visible() const { return zoom_.value_or(Whole()); }
    bool IsZoomed() const { return zoom_.has_value(); }
    // An empty or reversed span is ignored.
    void ZoomTo(double from, double to);
    // Back to the whole recording.
    void UndoZoom() { zoom_.reset(); }

    // Per trace, the points to draw over the visible range on `columns` pixel columns.
    QList<QList<QPointF>> Points(int columns) const { return PointsIn(Visible(), columns); }
    QList<QList<QPointF>> PointsIn(Range range, int columns) const {
        return data_.decimate(range.from, range.to, columns);
    }
    // The value axis for the visible data of the shown traces; a flat line gets room around it.
    Range ValueRange() const { return Fit(ValuesIn(Visible())); }
    // What the shown traces reach in a range, lines crossing its edges included.
    std::optional<GraphData::YRange> ValuesIn(Range range) const {
        return data_.yRange(range.from, range.to);
    }
    // The value axis for such a range: the default one for nothing, room around a flat line.
    static Range Fit(std::optional<GraphData::YRange> values);
    // The time of the first record, 0 for none.
    double Start() const { return data_.firstTime().value_or(0); }

    std::optional<Reading> ReadingAt(double seconds) const;
    // The reading as lines of rich text, each value after a square of its trace's colour, in
    // its quantity's own unit; the heading is its time unless given.
    static QString ReadingHtml(const Reading& reading, const QString& heading = {});

    // A heading row and one row per record, the columns and units of the file.
    QByteArray Csv() const;
    // Written through a sibling file renamed at the end: an old file stays whole on failure.
    bool ExportCsv(const QString& path) const;

    // caption + " - " + the file's name cut before its first dot.
    static QString Caption(const QString& caption, const QString& path);

  private:
    int version_;
    int traceCount_;
    std::vector<AcquisitionRecord> records_;
    GraphData data_;
    std::vector<bool> shown_;
    std::optional<Range> zoom_;
};
