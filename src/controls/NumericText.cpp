#include "NumericText.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {
constexpr int kSignificantDigits = 15;
}

QString NumericText::DecimalSeparator() { return QLocale().decimalPoint(); }

QString NumericText::Format(double x) {
    if (x == 0) x = 0;  // never show "-0"
    QString text = QString::number(x, 'g', kSignificantDigits);
    const QString separator = DecimalSeparator();
    if (separator != QLatin1String(".")) text.replace(QLatin1Char('.'), separator);
    return text;
}

double NumericText::Snap(double x) {
    if (!std::isfinite(x)) return x;
    const double snapped = QString::number(x, 'g', kSignificantDigits).toDouble();
    return snapped == 0 ? 0 : snapped;
}

std::optional<double> NumericText::ParseDouble(const QString& text) {
    const QString separator = DecimalSeparator();
    QString plain = text;
    if (separator != QLatin1String(".")) {
        // A point is not a separator in this locale, so a text holding one is no number.
        if (plain.contains(QLatin1Char('.'))) return std::nullopt;
        plain.replace(separator, QLatin1String("."));
    }
    bool ok = false;
    const double x = plain.toDouble(&ok);
    if (!ok || !std::isfinite(x)) return std::nullopt;
    return x;
}

std::optional<int> NumericText::ParseInt(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return v;
}

int NumericText::TruncateToInt(double x) {
    if (std::isnan(x)) return 0;
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    if (x <= kLow) return std::numeric_limits<int>::min();
    if (x >= kHigh) return std::numeric_limits<int>::max();
    return static_cast<int>(std::trunc(x));
}
