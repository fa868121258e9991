#pragma once

#include <QChar>
#include <QString>
#include <optional>

// The limits and the step of a numeric field, and what they allow: which typed characters the
// field takes and how a value is clamped and rounded. Knows nothing of widgets.
class NumericRules {
  public:
    // Where a typed character would land: the caret, or the start of the selection it replaces.
    struct Typing {
        QString text;
        int insertAt = 0;
        QString selected;
    };

    enum LimitIndex { kUpper = 1, kLower = 2 };

    double precision = 0;  // step; 0 = no rounding
    double maxValue = 0;
    double minValue = 0;
    bool disableLimit = false;

    // A range from 0 to 0 means no limits.
    bool LimitsActive() const;
    // Whole-number corrections need both ends set.
    bool BothLimitsSet() const;

    // The limit that x lies beyond (the lower one when below), if any.
    std::optional<double> ViolatedLimit(double x) const;
    double Clamp(double x) const;
    // Nearest multiple of the step (halves go up), as the text form shows it.
    double RoundToPrecision(double x) const;
    // Clamp, then round, without the rounding leaving the limits.
    double Normalise(double x) const;

    double GetLimit(int index) const;
    // Refused (false) when the new limit would cross the other one.
    bool SetLimit(int index, double x);

    bool StepIsFractional() const;
    bool Accepts(QChar c, const Typing& typing) const;

  private:
    bool AcceptsSeparator(const Typing& typing) const;
    bool AcceptsMinus(const Typing& typing) const;
    double KeepInside(double rounded, double clamped) const;
    double Step() const;
};
