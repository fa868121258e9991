#pragma once

#include <QLocale>
#include <QString>

// The texts of the live view's numbers.
class LiveText {
  public:
    // The speed with its last digit set to 0, at least four digits: 850 -> "0850".
    static QString Speed(int rpm);
    // value rounded to precision significant digits, then written with digits decimals in
    // the locale's fixed notation: (1.02, 3, 2) -> "1,02" in Italian.
    static QString Fixed(double value, int precision, int digits, const QLocale& locale = {});
    // Whole degrees, cut toward zero: 37.9 -> "37", -5 -> "-5".
    static QString Whole(double value);
    // The locale's general notation: 0.8 -> "0,8" in Italian, 5 -> "5".
    static QString General(double value, const QLocale& locale = {});
};
