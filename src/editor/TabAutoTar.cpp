#include "TabAutoTar.h"

#include <QLabel>

#include "BusyCursor.h"
#include "CaptionLoader.h"
#include "Catalogue.h"
#include "Dialogs.h"
#include "EditorLook.h"
#include "LoadZones.h"
#include "TNumericEdit.h"
#include "TStreamDati.h"

namespace {
constexpr int kLimit = 25;
const char* const kNames[TabAutoTar::kFields] = {
    "EditCorrCarbMinimoM", "EditCorrCarbMinimoFM", "EditCorrCarbBassoM",   "EditCorrCarbBassoFM",
    "EditCorrCarbMedioM",  "EditCorrCarbMedioFM",  "EditCorrCarbMassimoM", "EditCorrCarbMassimoFM"};
const char* const kZones[] = {"Carico molto basso", "Basso carico", "Medio carico",
                              "Massima potenza"};
}  // namespace

TabAutoTar::TabAutoTar(TStreamDati& data, EditorHost& host, QWidget* parent)
    : ConfigTab(data, host, QStringLiteral("TabAutoTar"), parent) {
    labelTitolo_ =
        AddLabel("LabelTitolo", "Modifica manuale carburazione (+-25%)", {16, 20, 500, 24});
    labelColonne_[0] = AddLabel("LabelMinimo", "Minimo", {250, 60, 110, 24});
    labelColonne_[1] = AddLabel("LabelFuoriMinimo", "Fuori minimo", {370, 60, 110, 24});
    for (int zone = 0; zone < LoadZones::kZones; ++zone) {
        const int y = 94 + zone * 40;
        labelZone_[static_cast<size_t>(zone)] =
            AddLabel(QStringLiteral("LabelZona%1").arg(zone), kZones[zone], {16, y, 220, 24});
        for (int column = 0; column < LoadZones::kClasses; ++column) {
            const int tag = zone * 2 + column;
            TNumericEdit* field =
                AddNumeric(kNames[tag], {250 + column * 120, y, 80, 24}, 1, -kLimit, kLimit, -1);
            field->setProperty("Tag", tag);
            connect(field, &TNumericEdit::committed, this,
                    [this, tag] { EditCorrCarbCommit(tag); });
            EditCorrCarb[static_cast<size_t>(tag)] = field;
        }
    }
    const auto& f = EditCorrCarb;
    Chain({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}, true);
    LoadCaptions();
}

void TabAutoTar::LoadCaptions() {
    using C = CaptionLoader;
    C::Set(labelTitolo_, 492, C::kLong);
    C::Set(labelColonne_[0], 493, C::kLong);
    C::Set(labelColonne_[1], 494, C::kLong);
    for (size_t zone = 0; zone < labelZone_.size(); ++zone)
        C::Set(labelZone_[zone], 495 + static_cast<int>(zone), C::kLong);
}

int32_t TabAutoTar::StoredCorrection(int zone, int columnClass) const {
    const int line = Catalogue::row(Catalogue::kZoneCorrections).lineLength();
    return data_.Store().value(Catalogue::kZoneCorrections, zone * line + columnClass);
}

void TabAutoTar::ShowTab() {
    for (int tag = 0; tag < kFields; ++tag)
        EditCorrCarb[static_cast<size_t>(tag)]->SetInt(StoredCorrection(tag / 2, tag % 2));
}

QWidget* TabAutoTar::FirstField() const { return EditCorrCarb[0]; }

TNumericEdit* TabAutoTar::Field(int zone, int columnClass) const {
    return EditCorrCarb.at(static_cast<size_t>(zone * 2 + columnClass));
}

void TabAutoTar::EditCorrCarbCommit(int tag) {
    const int zone = tag / 2;
    const int columnClass = tag % 2;
    TNumericEdit* field = EditCorrCarb[static_cast<size_t>(tag)];
    bool consistent = true;
    {
        BusyCursor busy;
        host_.HoldRefresh();
        const int32_t old = StoredCorrection(zone, columnClass);
        const int delta = static_cast<int>(field->CommittedValue()) - old;
        const ParameterStore& store = data_.Store();
        const int line = Catalogue::row(Catalogue::kKMap).lineLength();
        const auto cells = LoadZones::Shift(
            [&](int r, int c) { return store.value(Catalogue::kKMap, r * line + c); },
            store.kRows(), store.kColumns(), zone, columnClass, delta);
        int refused = 0;
        for (const LoadZones::Cell& cell : cells)
            if (!data_.SetKMapCell(cell.row, cell.column, cell.value)) ++refused;
        const bool stored =
            data_.SetZoneCorrection(zone, columnClass, LoadZones::NewCorrection(old, delta));
        // The map and the correction disagree when only part of the change was taken.
        const bool anyTaken = refused < static_cast<int>(cells.size()) || stored;
        consistent = !anyTaken || (refused == 0 && stored);
        field->SetInt(StoredCorrection(zone, columnClass));
        repaint();
        host_.ResumeRefresh();
    }
    if (!consistent)
        Dialogs::current().error(
            host_.Caption(),
            CaptionLoader::Text(601, QStringLiteral("La centralina non ha accettato tutta la "
                                                    "correzione: la carburazione di questa zona "
                                                    "non corrisponde al valore mostrato.")));
}

void TabAutoTar::ComputeBoundaries() {
    const ParameterStore& store = data_.Store();
    std::vector<int> speeds;
    for (int c = 0; c < store.kColumns(); ++c) speeds.push_back(store.value(Catalogue::kKRpm, c));
    std::vector<double> times;
    for (int r = 0; r < store.kRows(); ++r)
        times.push_back(data_.RawToTime(store.value(Catalogue::kKTimes, r)));
    highlight_.SetBoundaries(LoadZones::SpeedBoundaries(speeds), LoadZones::TimeBoundaries(times));
}

void TabAutoTar::Highlight(int speed, double petrolMs) {
    if (!highlight_.Update(speed, petrolMs)) return;
    if (highlighted_) highlighted_->setPalette(normalPalette_);
    const ZoneHighlight::Part part = highlight_.Current();
    highlighted_ = Field(part.zone, part.columnClass);
    normalPalette_ = highlighted_->palette();
    EditorLook::Background(highlighted_, EditorLook::kRed);
}
