#pragma once

// How a lambda probe's voltage is shown: a bar over the probe type's scale and a colour that
// tells rich from lean against the reference voltage.
class LambdaDisplay {
  public:
    enum class Shade { ButtonFace, Green, Red };

    // position: of TipoDiLambda in the lambda type table ("0 - 1 Volt", "0 - 5 Volt",
    // "5 - 0 Volt", "0.8 - 1.6 Volt", "UEGO"; -1 for a code outside it). inverted: bit 0 of
    // TipoDiLambda. reference: RifLambda in volts.
    LambdaDisplay(int position, bool inverted, double reference);

    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    // The bar's width in a panel whose bar can be full pixels wide; never below 0.
    int BarWidth(double volts, int full) const;
    // statusOn: the probe's colour indication bit of the status byte.
    Shade ShadeOf(double volts, bool statusOn) const;

  private:
    double minimum_ = 0;
    double maximum_ = 1;
    bool inverted_;
    double reference_;
};
