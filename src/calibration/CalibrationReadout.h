#pragma once

#include <QColor>
#include <QString>

#include "LiveValues.h"

class TStreamDati;

// The engine values the technician watches during the calibration, as texts and colours:
// speed, reducer and gas temperatures, the fuel in use, lambda 1 against its reference and
// the bank-1 injection times.
class CalibrationReadout {
  public:
    struct Texts {
        QString speed;
        QString reducer;  // T1, whole degrees
        QString gas;      // T2, whole degrees
        QString fuel;
        QColor fuelColour;
        QString lambda;
        QColor lambdaColour;
        QString gasTime;     // ms, without unit
        QString petrolTime;  // ms, without unit
    };

    // Reads the lambda reference from the ECU (the stored value stays when that fails) and
    // takes the probe's inverted flag from the store; both hold for the screen's lifetime.
    explicit CalibrationReadout(TStreamDati& data);
    CalibrationReadout(double lambdaReference, bool invertedProbe);

    Texts Of(const LiveValues& values) const;

    double LambdaReference() const { return reference_; }
    bool InvertedProbe() const { return inverted_; }

  private:
    double reference_;
    bool inverted_;
    QString volt_;
    QString gas_;
    QString petrol_;
};
