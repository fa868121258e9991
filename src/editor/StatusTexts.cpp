#include "StatusTexts.h"

#include <cmath>

QString StatusTexts::Fixed(double x, int precision, int digits, const QLocale& locale) {
    if (x == 0 || !std::isfinite(x)) return locale.toString(x, 'f', digits);
    const int wholeDigits = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
    if (wholeDigits > precision) return locale.toString(x, 'E', precision - 1);
    // Rounded to the significant digits first, then shown with the decimals asked for.
    const double scale = std::pow(10.0, precision - wholeDigits);
    const double rounded = std::round(x * scale) / scale;
    return locale.toString(rounded, 'f', digits);
}

QString StatusTexts::Pressure(int hundredths) const {
    if (hundredths == 0) return units_.notAvailable;
    return Fixed(hundredths * 0.01, 3, 2, locale_) + units_.bar;
}

QString StatusTexts::Temperature(int code, double degrees) const {
    if (code == 0) return units_.notAvailable;
    return QString::number(static_cast<int>(degrees)) + units_.degrees;
}
