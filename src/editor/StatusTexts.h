#pragma once

#include <QLocale>
#include <QString>

// The texts of the editor's live status bar, from the decoded live values, with the system
// decimal separator.
class StatusTexts {
  public:
    struct Units {
        QString volt = QStringLiteral("V");
        QString degrees = QStringLiteral("°C");
        QString bar = QStringLiteral("bar");
        QString rpm = QStringLiteral("rpm");
        QString notAvailable = QStringLiteral("n.d.");
    };

    explicit StatusTexts(Units units, QLocale locale = QLocale())
        : units_(std::move(units)), locale_(std::move(locale)) {}

    // x rounded to `precision` significant digits, shown with `digits` decimals (scientific
    // when the whole part has more digits than the precision).
    static QString Fixed(double x, int precision, int digits, const QLocale& locale);

    QString Speed(int rpm) const { return QString::number(rpm) + units_.rpm; }
    QString Lambda(double volts) const { return Fixed(volts, 3, 2, locale_) + units_.volt; }
    QString Time(double ms) const { return Fixed(ms, 4, 2, locale_); }
    // The pressure in hundredths of a bar (the block's thousandths divided by 10, cut
    // toward zero); 0 means no sensor.
    QString Pressure(int hundredths) const;
    static int PressureHundredths(int thousandths) { return thousandths / 10; }
    // A temperature input in whole degrees, cut toward zero; code 0 means no sensor.
    QString Temperature(int code, double degrees) const;

    // Green when the probe reads lean of the reference: below it, or above it for an
    // inverted probe.
    static bool LambdaLean(double volts, double reference, bool inverted) {
        return inverted ? volts > reference : volts < reference;
    }

  private:
    Units units_;
    QLocale locale_;
};
