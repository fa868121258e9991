#include "DefaultValues.h"

#include <cmath>
#include <cstring>

#include "TimeBase.h"

namespace {
// Each line: its first values, the last one repeated to 12 columns.
const std::vector<std::vector<int>> kKMap = {
    {120, 123},
    {124, 126, 126, 128, 130},
    {134, 136, 136, 139},
    {141, 143, 143, 147, 149},
    {141, 143, 143, 147, 149},
    {142, 143, 143, 147, 149},
    {138, 140, 140, 143, 145},
    {124, 126, 126, 129, 130},
    {119, 121, 121, 125},
    {114, 115, 115, 119, 120},
    {113, 114, 114, 118},
    {113, 114, 114, 118},
    {113, 114, 114, 118},
};

double listed(const CatalogueRow& row, int i) {
    if (row.defaults.empty()) return 0;
    const size_t index = std::min(static_cast<size_t>(i), row.defaults.size() - 1);
    return row.defaults[index];
}

std::vector<int32_t> references(const CatalogueRow& row, const TemperatureCurve& curve) {
    std::vector<int32_t> out(static_cast<size_t>(row.elements), 0);
    for (int i = 1; i < row.elements - 1; ++i)
        out[static_cast<size_t>(i)] = curve.ToCode(listed(row, i - 1));
    out.back() = 255;
    return out;
}
}  // namespace

int32_t DefaultValues::KMap(int line, int column) {
    const std::vector<int>& values = kKMap.at(static_cast<size_t>(line));
    return values[std::min(static_cast<size_t>(column), values.size() - 1)];
}

std::vector<int32_t> DefaultValues::Of(const CatalogueRow& row, const Context& c) {
    std::vector<int32_t> out(static_cast<size_t>(row.elements), 0);
    for (int i = 0; i < row.elements; ++i) {
        const size_t at = static_cast<size_t>(i);
        switch (row.rule) {
            case DefaultRule::Values:
                out[at] = static_cast<int32_t>(listed(row, i));
                break;
            case DefaultRule::Milliseconds:
                out[at] = TimeBase::ToRaw(listed(row, i), c.tick);
                break;
            case DefaultRule::Scaled:
                out[at] = static_cast<int32_t>(std::lround(listed(row, i) * row.scale));
                break;
            case DefaultRule::GasCodes:
                out[at] = c.gas.ToCode(listed(row, i));
                break;
            case DefaultRule::EngineCodes:
                out[at] = c.engine.ToCode(listed(row, i));
                break;
            case DefaultRule::TemperatureLimits:
                out[at] = (i < 2 ? c.gas : c.engine).ToCode(listed(row, i));
                break;
            case DefaultRule::KRpm:
                out[at] = (i + 1) * 6000 / std::max(1, c.kColumns);
                break;
            case DefaultRule::KMap:
                out[at] = KMap(i / row.lineLength(), i % row.lineLength());
                break;
            case DefaultRule::Text: {
                const size_t length = row.text ? std::strlen(row.text) : 0;
                out[at] = at < length ? static_cast<unsigned char>(row.text[at]) : 0;
                break;
            }
            case DefaultRule::Header: {
                const size_t length = std::strlen(kDescription);
                out[at] = i == 0 ? kHeaderFlags
                          : (i >= 2 && static_cast<size_t>(i - 2) < length)
                              ? static_cast<unsigned char>(kDescription[i - 2])
                              : 0;
                break;
            }
            case DefaultRule::GasReferences:
                return references(row, c.gas);
            case DefaultRule::EngineReferences:
                return references(row, c.engine);
        }
    }
    return out;
}

std::vector<int32_t> DefaultValues::LevelReferences(int type) {
    switch (type) {
        case 0:
            return {155, 127, 102, 77};
        case 1:
            return {100, 128, 153, 178};
        case 2:
            return {19, 36, 56, 69};
        default:
            return {};
    }
}
