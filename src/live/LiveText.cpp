#include "LiveText.h"

#include <algorithm>
#include <cmath>

QString LiveText::Speed(int rpm) {
    return QStringLiteral("%1").arg(rpm / 10 * 10, 4, 10, QLatin1Char('0'));
}

QString LiveText::Fixed(double value, int precision, int digits, const QLocale& locale) {
    // Rounded to the significant digits first, as the fixed format of the platform does:
    // 12.345 with precision 3 reads 12,30.
    if (value != 0 && std::isfinite(value)) {
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value)))) + 1;
        const int decimals = std::max(precision - magnitude, 0);
        value = QString::number(value, 'f', decimals).toDouble();
    }
    return locale.toString(value, 'f', digits);
}

QString LiveText::Whole(double value) {
    return QString::number(static_cast<long long>(std::trunc(value)));
}

QString LiveText::General(double value, const QLocale& locale) {
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}
