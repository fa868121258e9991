#include "GraphModel.h"

#include <QFileInfo>
#include <algorithm>

#include "AcquisitionFormat.h"
#include "GraphTraces.h"
#include "Scrambler.h"

namespace {
constexpr double kFlatMargin = 0.5;  // above and below a flat line
constexpr char kCsvLineEnd[] = "\r\n";

QByteArray csvLine(QByteArray line) { return line.replace('\t', ',') + kCsvLineEnd; }
}  // namespace

GraphModel::GraphModel(AcquisitionReader::Recording recording)
    : version_(recording.version),
      traceCount_(GraphTraces::CountFor(recording.version)),
      records_(std::move(recording.records)),
      data_(traceCount_),
      shown_(size_t(traceCount_), true) {
    data_.reserve(int(records_.size()));
    std::vector<double> values(size_t(traceCount_), 0.0);
    for (const AcquisitionRecord& record : records_) {
        for (int trace = 0; trace < traceCount_; ++trace) {
            values[size_t(trace)] = HasPoints(trace) ? GraphTraces::All()[trace].value(record) : 0;
        }
        data_.append(record.time * 0.001, values);
    }
    for (int trace = 0; trace < traceCount_; ++trace) data_.setShown(trace, HasPoints(trace));
}

// Files of a version other than 1 and 2 have the second probe's columns, not its traces.
bool GraphModel::HasPoints(int trace) const {
    return trace < GraphTraces::kOneProbeCount || GraphTraces::HasSecondProbe(version_);
}

void GraphModel::SetShown(int trace, bool shown) {
    shown_.at(size_t(trace)) = shown;
    data_.setShown(trace, shown && HasPoints(trace));
}

GraphModel::Range GraphModel::Whole() const {
    const auto first = data_.firstTime();
    if (!first) return {};
    const double last = *data_.lastTime();
    if (last > *first) return {*first, last};
    return {*first - kFlatMargin, *first + kFlatMargin};
}

void GraphModel::ZoomTo(double from, double to) {
    if (to > from) zoom_ = Range{from, to};
}

GraphModel::Range GraphModel::Fit(std::optional<GraphData::YRange> range) {
    if (!range) return {};
    if (range->high > range->low) return {range->low, range->high};
    return {range->low - kFlatMargin, range->high + kFlatMargin};
}

std::optional<GraphModel::Reading> GraphModel::ReadingAt(double seconds) const {
    // Records are in time order as read; the last one at or before the time.
    const auto after =
        std::upper_bound(records_.begin(), records_.end(), seconds,
                         [](double t, const AcquisitionRecord& r) { return t < r.time * 0.001; });
    if (after == records_.begin()) return std::nullopt;
    const AcquisitionRecord& record = *(after - 1);
    Reading reading{record.time * 0.001, {}, {}};
    for (int trace = 0; trace < traceCount_; ++trace) {
        if (!data_.isShown(trace)) continue;
        const GraphTraces::Trace& t = GraphTraces::All()[size_t(trace)];
        reading.values.emplace_back(trace, t.value(record));
        reading.readings.push_back(t.reading(record));
    }
    return reading;
}

QString GraphModel::ReadingHtml(const Reading& reading, const QString& heading) {
    QString html = QStringLiteral("<b>%1</b>").arg(
        heading.isEmpty() ? QStringLiteral("%1 s").arg(reading.seconds, 0, 'f', 3)
                          : heading.toHtmlEscaped());
    for (size_t i = 0; i < reading.values.size(); ++i) {
        const int trace = reading.values[i].first;
        html += QStringLiteral("<br><span style=\"color:%1\">&#9632;</span> %2: %3")
                    .arg(GraphTraces::All()[size_t(trace)].colour.name(),
                         GraphTraces::Name(trace).toHtmlEscaped(),
                         GraphTraces::Text(trace, reading.readings[i]));
    }
    return html;
}

QByteArray GraphModel::Csv() const {
    QByteArray csv = csvLine(AcquisitionFormat::Headings(version_));
    csv.reserve(csv.size() + qsizetype(records_.size()) * 64);
    for (const AcquisitionRecord& record : records_) {
        csv += csvLine(AcquisitionFormat::Record(record, version_));
    }
    return csv;
}

bool GraphModel::ExportCsv(const QString& path) const {
    return Scrambler::WriteWholeFile(path, Csv());
}

QString GraphModel::Caption(const QString& caption, const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.indexOf(u'.');
    // A name without a dot leaves nothing, as the window always showed it.
    return caption + QStringLiteral(" - ") + (dot < 0 ? QString() : name.left(dot));
}
