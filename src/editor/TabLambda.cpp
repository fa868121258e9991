#include "TabLambda.h"

#include <QLabel>

#include "CaptionLoader.h"
#include "Catalogue.h"
#include "LambdaProbe.h"
#include "TKeyComboBox.h"
#include "TStreamDati.h"

namespace {
constexpr int kProbeType = 4;
// Read on showing: the delays and the references (5, 8-11 come from the ECU).
constexpr int kShownCodes[] = {6, 5, 8, 9, 10, 11, 7};
}  // namespace

TabLambda::TabLambda(TStreamDati& data, EditorHost& host, QWidget* parent)
    : ConfigTab(data, host, QStringLiteral("TabLambda"), parent) {
    labelTipoLambda_ = AddLabel("LabelTipoLambda", "Tipo di sonda Lambda", {16, 20, 310, 24});
    ComboTipoLambda = AddList("ComboTipoLambda", {330, 20, 200, 24}, true);
    ComboTipoLambda->SetDataCode(kProbeType);
    connect(ComboTipoLambda, &TKeyComboBox::committed, this, &TabLambda::ComboTipoLambdaCommit);
    LoadCaptions();
}

void TabLambda::LoadCaptions() {
    CaptionLoader::Set(labelTipoLambda_, 158, CaptionLoader::kField);
    CaptionLoader::Fill(ComboTipoLambda, {159, 160, 161, 162});
}

void TabLambda::ShowTab() {
    ComboTipoLambda->setCurrentIndex(
        LambdaProbe::EntryOf(data_.Store().value(Catalogue::kLambdaType)));
    for (int code : kShownCodes) data_.GetValue(code);
}

QWidget* TabLambda::FirstField() const { return ComboTipoLambda; }

void TabLambda::ComboTipoLambdaCommit(int position) {
    data_.SetValue(kProbeType, position);
    // A refused write still asks for the defaults: those of the type the store kept.
    awaitsDefaults_ = true;
    ShowTab();
}

void TabLambda::FollowUp() {
    if (!awaitsDefaults_) return;
    // A code outside the table has no defaults: what the ECU holds stays, and is read back.
    if (const auto defaults = LambdaProbe::DefaultsOf(data_.Store().value(Catalogue::kLambdaType)))
        for (const LambdaProbe::Default& d : *defaults) data_.SetValue(d.code, d.volts);
    for (int code : LambdaProbe::kReadBack) data_.GetValue(code);
    awaitsDefaults_ = false;
}
