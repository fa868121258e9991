#include "GraphTraces.h"

#include "Language.h"

const std::array<GraphTraces::Trace, GraphTraces::kCount>& GraphTraces::All() {
    using R = const AcquisitionRecord&;
    static const std::array<Trace, kCount> traces = {{
        {301, "Giri", " x 1000", QColor(255, 0, 0), 0.001, 0, [](R r) { return double(r.rpm); }},
        {302, "Lambda", "", QColor(192, 192, 192), 1, 2, [](R r) { return r.lambda1; }},
        {303, "T inj. gas", "", QColor(128, 128, 128), 1, 2, [](R r) { return r.gasTime1; }},
        {304, "T inj. benz.", "", QColor(255, 0, 255), 1, 2, [](R r) { return r.petrolTime1; }},
        {306, "Pressione", "", QColor(255, 255, 128), 1, 2, [](R r) { return r.pressure; }},
        {307, "T.riduttore", " x 10", QColor(0, 255, 0), 0.1, 1, [](R r) { return r.reducerTemp; }},
        {309, "T.gas", " x 10", QColor(0, 255, 0), 0.1, 1, [](R r) { return r.engineTemp; }},
        {310, "Lambda 2", "", QColor(128, 128, 128), 1, 2, [](R r) { return r.lambda2; }},
        {311, "T inj.gas 2", "", QColor(0, 128, 128), 1, 2, [](R r) { return r.gasTime2; }},
        {312, "T inj.benz.2", "", QColor(192, 192, 192), 1, 2, [](R r) { return r.petrolTime2; }},
    }};
    return traces;
}

QString GraphTraces::Title(int trace) {
    const Trace& t = All().at(size_t(trace));
    return LoadTextOr(t.text, QString::fromUtf8(t.fallback)) + QString::fromLatin1(t.suffix);
}

QString GraphTraces::Name(int trace) {
    const Trace& t = All().at(size_t(trace));
    return LoadTextOr(t.text, QString::fromUtf8(t.fallback));
}

QString GraphTraces::Text(int trace, double reading) {
    return QString::number(reading, 'f', All().at(size_t(trace)).decimals);
}
