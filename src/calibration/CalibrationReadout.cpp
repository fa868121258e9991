#include "CalibrationReadout.h"

#include <QLocale>

#include "CalibrationProcedure.h"
#include "Catalogue.h"
#include "EcuVariable.h"
#include "Language.h"
#include "TStreamDati.h"

namespace {
constexpr int32_t kInvertedBit = 0x01;
constexpr int kPetrolLength = 4;  // "Benz"
const QColor kGasColour(0, 128, 0);
const QColor kPetrolColour(128, 0, 128);

QString text(int number, int maximum = Language::kDefaultMaximum) {
    return LoadText(number, maximum).value_or(QString());
}

bool invertedProbe(const TStreamDati& data) {
    const CatalogueRow* row = Catalogue::rowOfCode(EcuVariable::kLambdaType);
    return row != nullptr && (data.Store().value(row->number) & kInvertedBit) != 0;
}

QString fixed(double value, int decimals) { return QLocale().toString(value, 'f', decimals); }
}  // namespace

CalibrationReadout::CalibrationReadout(TStreamDati& data)
    : CalibrationReadout(data.GetValue(EcuVariable::kLambdaReference), invertedProbe(data)) {}

CalibrationReadout::CalibrationReadout(double lambdaReference, bool invertedProbe)
    : reference_(lambdaReference),
      inverted_(invertedProbe),
      volt_(text(122)),
      gas_(text(366)),
      petrol_(text(367, kPetrolLength)) {}

CalibrationReadout::Texts CalibrationReadout::Of(const LiveValues& v) const {
    Texts t;
    t.speed = QString::number(v.rpm);
    t.reducer = QString::number(static_cast<int>(v.t1));
    t.gas = QString::number(static_cast<int>(v.t2));
    t.fuel = v.onGas() ? gas_ : petrol_;
    t.fuelColour = v.onGas() ? kGasColour : kPetrolColour;
    // Only the probe's reference decides the colour here, whatever the ECU's indication.
    t.lambda = fixed(v.lambda1, 1) + u' ' + volt_ + u' ';
    t.lambdaColour = CalibrationProcedure::LambdaColour(v.lambda1, reference_, inverted_);
    t.gasTime = fixed(v.gasMs1, 2);
    t.petrolTime = fixed(v.petrolMs1, 2);
    return t;
}
