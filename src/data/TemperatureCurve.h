#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// A temperature sensor's breakpoint table: point i stands for start + i x step degrees C
// and holds the 8-bit code the sensor gives there; codes fall as the temperature rises.
class TemperatureCurve {
  public:
    static constexpr int kGasTypes = 3;
    static constexpr int kMaxPoints = 30;  // points an engine curve can take from the store

    // The built-in curve (gas type 0).
    TemperatureCurve();
    TemperatureCurve(double start, double step, std::vector<int> codes, int pullUp = 0);

    // The curve of gas sensor type 0, 1 or 2; any other type gives type 0.
    static TemperatureCurve Gas(int type);
    // The engine curve held by the store: parameters {pull-up high, pull-up low, step,
    // start, points} and the codes. Nothing when the parameters cannot make a curve.
    static std::optional<TemperatureCurve> FromEngineParameters(std::span<const int32_t> params,
                                                                std::span<const int32_t> codes);

    // Degrees C to code, clamped to 0..255.
    int ToCode(double degrees) const;
    double ToDegrees(int code) const;

    double start() const { return start_; }
    double step() const { return step_; }
    int pullUp() const { return pullUp_; }
    const std::vector<int>& codes() const { return codes_; }
    bool operator==(const TemperatureCurve&) const = default;

  private:
    double start_;
    double step_;
    std::vector<int> codes_;
    int pullUp_ = 0;
};
