#pragma once

#include <QString>

// The percentage of a running operation as the progress notices move it: an absolute
// position or an increment, kept within 0..100.
class ProgressCounter {
  public:
    static constexpr int kMaximum = 100;

    // increment false: value is the new position; true: value is added to it.
    void Apply(int value, bool increment);
    int Position() const { return position_; }
    void SetSuffix(const QString& suffix) { suffix_ = suffix; }
    QString Suffix() const { return suffix_; }
    // "37% " + suffix.
    QString Text() const;

  private:
    int position_ = 0;
    QString suffix_;
};
