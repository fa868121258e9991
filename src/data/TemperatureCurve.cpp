#include "TemperatureCurve.h"

#include <algorithm>
#include <cmath>

namespace {
struct GasSensor {
    double start;
    double step;
    double a;
    double b;
    std::vector<float> r;  // the sensor's resistance ratios (or ohms), single precision
};

const GasSensor& gasSensor(int type) {
    static const GasSensor sensors[TemperatureCurve::kGasTypes] = {
        {-55, 5, 4700, 4700, {97.578f, 67.65f,   47.538f,  33.831f,  24.359f,   17.753f,  13.067f,
                              9.7228f, 7.3006f,  5.5361f,  4.2332f,  3.266f,    2.5392f,  1.9902f,
                              1.5709f, 1.2492f,  1.0f,     0.805f,   0.65326f,  0.5329f,  0.4371f,
                              0.36f,   0.299f,   0.2493f,  0.2088f,  0.1757f,   0.148f,   0.1262f,
                              0.1076f, 0.09215f, 0.07922f, 0.0683f,  0.05924f,  0.05153f, 0.04492f,
                              0.0392f, 0.0343f,  0.03018f, 0.02665f, 0.023594f, 0.0209f,  0.0186f,
                              0.0166f, 0.01486f, 0.01332f, 0.01198f, 0.01079f,  0.00974f}},
        {-10, 5, 1000, 1000, {4.56f,  3.78f,  3.01f,  2.41f,  1.92f,  1.54f,  1.25f,
                              1.0f,   0.856f, 0.687f, 0.582f, 0.493f, 0.41f,  0.345f,
                              0.295f, 0.254f, 0.217f, 0.183f, 0.159f, 0.138f, 0.12f,
                              0.105f, 0.091f, 0.082f, 0.071f, 0.062f, 0.055f}},
        {-40, 5, 1, 2200, {48153.0f, 35763.0f, 26855.0f, 20376.0f, 15614.0f, 12078.0f, 9426.0f,
                           7419.0f,  5886.7f,  4706.9f,  3791.1f,  3074.9f,  2510.6f,  2062.9f,
                           1715.4f,  1431.8f,  1199.6f,  1008.6f,  851.1f,   720.65f,  612.27f,
                           521.91f,  446.33f,  382.89f,  329.48f,  284.06f,  246.15f,  213.68f,
                           186.0f,   162.35f,  142.08f,  124.66f,  109.65f,  96.68f,   85.45f}},
    };
    return sensors[(type >= 0 && type < TemperatureCurve::kGasTypes) ? type : 0];
}
}  // namespace

TemperatureCurve::TemperatureCurve() : TemperatureCurve(Gas(0)) {}

TemperatureCurve::TemperatureCurve(double start, double step, std::vector<int> codes, int pullUp)
    : start_(start), step_(step), codes_(std::move(codes)), pullUp_(pullUp) {}

TemperatureCurve TemperatureCurve::Gas(int type) {
    const GasSensor& s = gasSensor(type);
    std::vector<int> codes;
    codes.reserve(s.r.size());
    for (float r : s.r) codes.push_back(static_cast<int>((s.a * 255.0 * r) / (r * s.a + s.b)));
    return TemperatureCurve(s.start, s.step, std::move(codes));
}

std::optional<TemperatureCurve> TemperatureCurve::FromEngineParameters(
    std::span<const int32_t> params, std::span<const int32_t> codes) {
    if (params.size() < 5) return std::nullopt;
    const int n = params[4];
    const int step = params[2];
    // A curve needs two points to extrapolate and a step to divide by.
    if (n < 2 || n > kMaxPoints || n > static_cast<int>(codes.size()) || step == 0)
        return std::nullopt;
    std::vector<int> points(codes.begin(), codes.begin() + n);
    return TemperatureCurve(params[3], step, std::move(points), params[0] * 256 + params[1]);
}

int TemperatureCurve::ToCode(double degrees) const {
    const int n = static_cast<int>(codes_.size());
    if (std::isnan(degrees)) degrees = start_;
    // Far outside the table every code clamps anyway; bounding b keeps the cut defined.
    const float b = std::clamp(static_cast<float>((degrees - start_) / step_), -1000.0f, 1000.0f);
    const int i = static_cast<int>(b);
    double c;
    if (i < 0)
        c = codes_[0] + b * (codes_[1] - codes_[0]);
    else if (i < n - 1)
        c = codes_[i] + (b - i) * (codes_[i + 1] - codes_[i]);
    else
        c = codes_[n - 1] + (b - (n - 1)) * (codes_[n - 1] - codes_[n - 2]);
    return std::clamp(static_cast<int>(c), 0, 255);
}

double TemperatureCurve::ToDegrees(int value) const {
    const int n = static_cast<int>(codes_.size());
    int i = 0;
    while (i < n - 1 && codes_[i] > value) ++i;
    double index;
    if (i == 0) {
        index = codes_[0] == codes_[1]
                    ? -0.5
                    : -static_cast<double>(value - codes_[0]) / (codes_[0] - codes_[1]);
    } else if (codes_[i - 1] == codes_[i]) {
        index = i - 0.5;
    } else {
        index = i - static_cast<double>(value - codes_[i]) / (codes_[i - 1] - codes_[i]);
    }
    return index * step_ + start_;
}
