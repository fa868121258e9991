#pragma once

#include <QString>
#include <optional>

// The text form of the numeric fields: the general decimal form with at most 15 significant
// digits and the decimal separator of the program's locale. Reading back takes the same form,
// so a value and its text always agree.
class NumericText {
  public:
    // The decimal separator of the default locale (QLocale()).
    static QString DecimalSeparator();

    static QString Format(double x);
    // x as the text shows it: rounded to 15 significant digits.
    static double Snap(double x);

    // The text as a finite number, or nothing when it is not one.
    static std::optional<double> ParseDouble(const QString& text);
    // The text as a whole number in range, or nothing.
    static std::optional<int> ParseInt(const QString& text);

    // x cut toward zero, saturated at the ends of the int range (NaN gives 0).
    static int TruncateToInt(double x);
};
