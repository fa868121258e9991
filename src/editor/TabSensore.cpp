#include "TabSensore.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "CaptionLoader.h"
#include "Catalogue.h"
#include "Dialogs.h"
#include "Language.h"
#include "LevelReferenceOrder.h"
#include "LevelSensor.h"
#include "TKeyComboBox.h"
#include "TNumericEdit.h"
#include "TStreamDati.h"

TabSensore::TabSensore(TStreamDati& data, EditorHost& host, QWidget* parent)
    : ConfigTab(data, host, QStringLiteral("TabSensore"), parent) {
    labelSensore_ = AddLabel("LabelSensore", "Tipo di sensore livello GAS", {16, 20, 310, 24});
    ComboSensore = AddList("ComboSensore", {330, 20, 200, 24}, true);
    ComboSensore->addItems({QStringLiteral("Q.O.R."), QStringLiteral("0 - 90 ohm")});

    GroupRifSensore = new QGroupBox(this);
    GroupRifSensore->setObjectName("GroupRifSensore");
    GroupRifSensore->setGeometry(Scaled({16, 70, 514, 230}));
    const char* names[] = {"EditLivello1", "EditLivello2", "EditLivello3", "EditLivello4"};
    for (size_t i = 0; i < EditLivello.size(); ++i) {
        const int y = 30 + static_cast<int>(i) * 34;
        labelLivello_[i] = new QLabel(GroupRifSensore);
        labelLivello_[i]->setGeometry(Scaled({16, y, 200, 24}));
        auto* field = new TNumericEdit(GroupRifSensore);
        field->setObjectName(names[i]);
        field->setGeometry(Scaled({230, y, 80, 24}));
        field->SetPrecision(1);
        field->SetLimit(1, 255);
        field->SetLimit(2, 0);
        connect(field, &TNumericEdit::entered, this, [this, field] { host_.ShowLimit(field); });
        connect(field, &TNumericEdit::left, this, [this] { host_.HideLimit(); });
        EditLivello[i] = field;
    }
    const char* designs[] = {"Riserva", "1/4", "2/4", "3/4"};
    for (size_t i = 0; i < labelLivello_.size(); ++i) labelLivello_[i]->setText(designs[i]);
    labelConferma_ = new QLabel(GroupRifSensore);
    labelConferma_->setGeometry(Scaled({16, 176, 200, 24}));
    ButtonAccetta = new QPushButton(GroupRifSensore);
    ButtonAccetta->setObjectName("ButtonAccetta");
    ButtonAccetta->setGeometry(Scaled({230, 172, 120, 30}));

    Chain({ComboSensore, EditLivello[0], EditLivello[1], EditLivello[2], EditLivello[3],
           ButtonAccetta},
          false);
    connect(ComboSensore, &TKeyComboBox::committed, this, &TabSensore::ComboSensoreCommit);
    connect(ButtonAccetta, &QPushButton::clicked, this, &TabSensore::ButtonAccettaClick);
    LoadCaptions();
}

void TabSensore::LoadCaptions() {
    using C = CaptionLoader;
    C::Set(labelSensore_, 183, C::kField);
    if (auto text = LoadText(189, C::kField - 1)) GroupRifSensore->setTitle(*text);
    for (size_t i = 0; i < labelLivello_.size(); ++i)
        C::Set(labelLivello_[i], 190 + static_cast<int>(i), C::kLevel);
    C::Set(labelConferma_, 195, C::kLong);
    C::Set(ButtonAccetta, 120, C::kStatus);
}

void TabSensore::ShowTab() {
    const int32_t code = data_.Store().value(Catalogue::kLevelSensorType);
    const int position = LevelSensor::PositionOf(code);
    ComboSensore->setCurrentIndex(position < ComboSensore->count() ? position : -1);
    GroupRifSensore->setVisible(position >= LevelSensor::kFirstCustomPosition);
    for (size_t i = 0; i < EditLivello.size(); ++i)
        EditLivello[i]->SetInt(LevelSensor::Shown(
            data_.Store().value(Catalogue::kLevelReferences, static_cast<int>(i)), code));
}

QWidget* TabSensore::FirstField() const { return ComboSensore; }

void TabSensore::ComboSensoreCommit(int position) {
    data_.SetLevelSensorType(position);
    ShowTab();
}

void TabSensore::ButtonAccettaClick() {
    std::array<int32_t, 4> shown{};
    for (size_t i = 0; i < shown.size(); ++i) shown[i] = EditLivello[i]->GetInt();
    const bool inverted = LevelSensor::IsInverted(data_.Store().value(Catalogue::kLevelSensorType));
    if (!LevelReferenceOrder::IsValid(shown, inverted)) {
        Dialogs::current().error(
            host_.Caption(),
            CaptionLoader::Text(236, QStringLiteral("Attenzione: i riferimenti LIVELLO non sono "
                                                    "corretti!")));
        return;
    }
    for (size_t i = 0; i < shown.size(); ++i)
        data_.SetLevelSensorReference(static_cast<int>(i), shown[i]);
}
