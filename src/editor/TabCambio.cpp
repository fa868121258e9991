#include "TabCambio.h"

#include <QLabel>
#include <QPushButton>

#include "BuildProfile.h"
#include "BusyCursor.h"
#include "CaptionLoader.h"
#include "Catalogue.h"
#include "Clock.h"
#include "ConfigBaseLibrary.h"
#include "Dialogs.h"
#include "EditorLook.h"
#include "EngineCodes.h"
#include "TFormAttesa.h"
#include "TKeyComboBox.h"
#include "TNumericEdit.h"
#include "TStreamDati.h"

namespace {
constexpr int kCaptionX = 16, kFieldX = 330, kUnitX = 420, kRow = 40, kTop = 20;
constexpr int kFuelOption = 1;
constexpr int kCarburationGroup = 4;
constexpr int kBaseThenEcu = TStreamDati::kLoadDefaults | TStreamDati::kWriteEcu;
constexpr int kChangeoverWaitMs = 200;

QRect captionAt(int row) { return {kCaptionX, kTop + row * kRow, 310, 24}; }
QRect listAt(int row) { return {kFieldX, kTop + row * kRow, 200, 24}; }
QRect numberAt(int row) { return {kFieldX, kTop + row * kRow, 80, 24}; }
QRect unitAt(int row) { return {kUnitX, kTop + row * kRow, 40, 24}; }
}  // namespace

TabCambio::TabCambio(TStreamDati& data, EditorHost& host, QWidget* parent)
    : ConfigTab(data, host, QStringLiteral("TabCambio"), parent) {
    labelCarburante_ = AddLabel("LabelCarburante", "Tipo carburante", captionAt(0));
    ComboCarburante = AddList("ComboCarburante", listAt(0), true);
    labelSegnaleGiri_ = AddLabel("LabelSegnaleGiri", "Tipo di segnale giri", captionAt(1));
    ComboSegnaleGiri = AddList("ComboSegnaleGiri", listAt(1), true);
    labelCilindri_ = AddLabel("LabelCilindri", "Numero cilindri", captionAt(2));
    ComboCilindri = AddList("ComboCilindri", listAt(2), true);
    labelAccensione_ = AddLabel("LabelAccensione", "Tipo di accensione", captionAt(3));
    ComboAccensione = AddList("ComboAccensione", listAt(3), true);
    labelGiriCambio_ = AddLabel("LabelGiriCambio", "Soglia giri per il cambio", captionAt(4));
    EditGiriCambio = AddNumeric("EditGiriCambio", numberAt(4), 50, 0, 3000, 528);
    unitGiriCambio_ = AddLabel("LabelGiriCambioUnita", "rpm", unitAt(4));
    labelTempCambio_ =
        AddLabel("LabelTempCambio", "Temperatura riduttore per il cambio", captionAt(5));
    EditTempCambio = AddNumeric("EditTempCambio", numberAt(5), 1, 20, 90, 15);
    unitTempCambio_ = AddLabel("LabelTempCambioUnita", "°C", unitAt(5));
    ButtonReset = new QPushButton(this);
    ButtonReset->setObjectName("ButtonReset");
    ButtonReset->setGeometry(Scaled({kCaptionX, kTop + 6 * kRow + 16, 514, 30}));
    LabelNota = AddLabel("LabelNota", "", {kCaptionX, kTop + 8 * kRow, 620, 40});
    LabelNota->setWordWrap(true);
    EditorLook::TextColour(LabelNota, EditorLook::kNavy);

    Chain({ComboCarburante, ComboSegnaleGiri, ComboCilindri, ComboAccensione, EditGiriCambio,
           EditTempCambio},
          true);
    connect(ComboCarburante, &TKeyComboBox::committed, this, &TabCambio::ComboCarburanteCommit);
    connect(ComboSegnaleGiri, &TKeyComboBox::committed, this, &TabCambio::ComboSegnaleGiriCommit);
    connect(ComboCilindri, &TKeyComboBox::committed, this, &TabCambio::ComboCilindriCommit);
    connect(ComboAccensione, &TKeyComboBox::committed, this, &TabCambio::ComboAccensioneCommit);
    for (TNumericEdit* field : {EditGiriCambio, EditTempCambio})
        connect(field, &TNumericEdit::committed, this, [this, field] { CommitField(field); });
    connect(ButtonReset, &QPushButton::clicked, this, &TabCambio::ButtonResetClick);
    LoadCaptions();
}

void TabCambio::LoadCaptions() {
    using C = CaptionLoader;
    C::Set(labelCarburante_, 140, C::kField);
    C::Set(labelSegnaleGiri_, 130, C::kField);
    C::Set(labelCilindri_, 133, C::kField);
    C::Set(labelAccensione_, 142, C::kField);
    C::Set(labelGiriCambio_, 150, C::kField);
    C::Set(labelTempCambio_, 155, C::kField);
    C::Set(unitGiriCambio_, 126, C::kLong);
    C::Set(unitTempCambio_, 123, C::kLong);
    C::Set(ButtonReset, 156, C::kLong);
    C::Set(LabelNota, 445, C::kLong);
    C::Fill(ComboCarburante, {317, 318});
    C::Fill(ComboSegnaleGiri, {131, 132});
    C::Fill(ComboAccensione, {143, 144, 145});
    FillCylinders();
}

void TabCambio::FillCylinders() {
    if (EngineCodes::CylinderEntries(data_.Identity(1)) > 2)
        CaptionLoader::Fill(ComboCilindri, {134, 135, 136, 137, 138});
    else
        CaptionLoader::Fill(ComboCilindri, {134, 135});
}

void TabCambio::PlaceFields() {
    ComboCarburante->move(ComboSegnaleGiri->x(), ComboCarburante->y());
    EditTempCambio->SetLimit(1, 90);
    EditTempCambio->SetLimit(2, 20);
}

void TabCambio::ShowTemperature(bool visible) {
    for (QWidget* w :
         {static_cast<QWidget*>(EditTempCambio), static_cast<QWidget*>(labelTempCambio_),
          static_cast<QWidget*>(unitTempCambio_)})
        w->setVisible(visible);
}

void TabCambio::ShowTab() {
    rememberedFuel_ = data_.GetOption(kFuelOption);
    ComboCarburante->setCurrentIndex(rememberedFuel_);
    const int32_t ignition = data_.Store().value(Catalogue::kIgnition);
    ComboSegnaleGiri->setCurrentIndex((ignition >> 6) & 1);
    ComboAccensione->setCurrentIndex(
        EngineCodes::IgnitionEntry(static_cast<int>(data_.GetValue(20))));
    ComboCilindri->setCurrentIndex(
        EngineCodes::CylinderEntry(static_cast<int>(data_.GetValue(52)), ComboCilindri->count()));
    LoadField(EditTempCambio);
    LoadField(EditGiriCambio);
    const bool threshold = data_.Store().value(Catalogue::kRpmThreshold) != 0;
    for (QWidget* w :
         {static_cast<QWidget*>(EditGiriCambio), static_cast<QWidget*>(labelGiriCambio_),
          static_cast<QWidget*>(unitGiriCambio_)})
        w->setVisible(threshold);
}

QWidget* TabCambio::FirstField() const { return ComboCarburante; }

void TabCambio::ComboCarburanteCommit(int position) {
    if (position == rememberedFuel_) return;
    const QString question = CaptionLoader::Text(
        441, QStringLiteral("Attenzione !!! Il proseguimento di tale operazione cancellerà\n"
                            "i parametri attuali della carburazione. Continuare ?"));
    if (Dialogs::current().message(host_.Caption(), question, Dialogs::Icon::Question,
                                   Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        ComboCarburante->setCurrentIndex(rememberedFuel_);
        return;
    }
    data_.SetOption(kFuelOption, position == 1);
    Clock::current().waitMs(kChangeoverWaitMs);
    host_.HoldRefresh();
    bool loaded = false;
    {
        BusyCursor busy;
        loaded = ReloadBaseCarburation();
    }
    ShowTab();
    host_.ResumeRefresh();
    if (!loaded) {
        const QString reason = data_.LastError();
        Dialogs::current().error(
            host_.Caption(),
            CaptionLoader::Text(600, QStringLiteral("Impossibile caricare in centralina la "
                                                    "carburazione di base del nuovo carburante.")) +
                (reason.isEmpty() ? QString() : u'\n' + reason));
    }
}

// The carburation rows of the base configuration for the fuel now set, into the ECU.
bool TabCambio::ReloadBaseCarburation() {
    TFormAttesa wait(window());
    wait.SetCaption(CaptionLoader::Text(50, QStringLiteral("Scaricamento dati in centralina")));
    wait.SetMessage(
        CaptionLoader::Text(53, QStringLiteral("Scaricamento dati in centralina: attendere...")));
    wait.SetCompletionSuffix(u' ' + CaptionLoader::Text(59, QStringLiteral("Completato")) + u' ');
    connect(&data_, &TStreamDati::progress, &wait, &TFormAttesa::OnProgress);
    wait.StartAnimation();
    wait.Open();
    const ConfigBaseLibrary* base = ConfigBaseLibrary::Current();
    const int resource = base
                             ? base->GetResourceId(data_.GetOption(kFuelOption), 0,
                                                   data_.Store().value(Catalogue::kInjectorType, 1),
                                                   BuildProfile::CustomerCodeOf(0))
                             : 0;
    // Without a base configuration there is nothing to load: the defaults are no carburation.
    return resource > 0 &&
           data_.Transfer(kBaseThenEcu, QString(), resource, kCarburationGroup, true);
}

void TabCambio::ComboSegnaleGiriCommit(int position) {
    data_.SetRpmSignal(position == 1);
    ShowTab();
}

void TabCambio::ComboCilindriCommit(int position) {
    data_.SetValue(52, EngineCodes::CylindersOf(position));
    if (ComboAccensione->currentIndex() == EngineCodes::kRevCounter)
        data_.SetValue(20, EngineCodes::IgnitionValue(EngineCodes::kRevCounter, position));
    ShowTab();
}

void TabCambio::ComboAccensioneCommit(int position) {
    const int value = EngineCodes::IgnitionValue(position, ComboCilindri->currentIndex());
    if (value != EngineCodes::kNone) data_.SetValue(20, value);
    ShowTab();
}

void TabCambio::ButtonResetClick() {
    if (!data_.IsConnected() || !resetCommand_) return;
    host_.HoldRefresh();
    resetCommand_();
    ShowTab();
    host_.ResumeRefresh();
}
