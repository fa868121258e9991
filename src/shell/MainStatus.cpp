#include "MainStatus.h"

#include "Language.h"

QString MainStatus::linkText(bool connected) {
    return connected ? LoadTextOr(36, QStringLiteral("Centralina connessa"))
                     : LoadTextOr(37, QStringLiteral("Centralina non connessa"));
}

QString MainStatus::fuelText(bool cng) {
    return cng ? LoadTextOr(318, QStringLiteral("Metano")) : LoadTextOr(317, QStringLiteral("GPL"));
}

void MainStatus::RefreshDescription(const QString& description) {
    panels_[1] = LoadTextOr(34, QStringLiteral("Config")) + QStringLiteral(": ") + description;
}

void MainStatus::Apply(int code, const Facts& facts) {
    switch (code) {
        case kLinkDown:
            connected_ = false;
            panels_[0] = linkText(false);
            panels_[2].clear();
            panels_[3].clear();
            break;
        case kLinkUp:
            connected_ = true;
            panels_[0] = linkText(true);
            RefreshDescription(facts.description);
            panels_[2] =
                LoadTextOr(35, QStringLiteral("Versione firmware")) +
                QStringLiteral(": %1.%2").arg(facts.firmwareMajor).arg(facts.firmwareMinor);
            panels_[3] = fuelText(facts.cng);
            break;
        case kDescriptionChanged:
            RefreshDescription(facts.description);
            break;
        case kFuelChanged:
            panels_[3] = fuelText(facts.cng);
            break;
        default:
            break;
    }
}

void MainStatus::Reload(const Facts& facts) {
    connected_ = facts.connected;
    panels_[0] = linkText(facts.connected);
    RefreshDescription(facts.description);
    if (!panels_[2].isEmpty()) {
        const qsizetype colon = panels_[2].indexOf(u':');
        panels_[2] = LoadTextOr(35, QStringLiteral("Versione firmware")) +
                     (colon >= 0 ? panels_[2].mid(colon) : QString());
    }
    if (!panels_[3].isEmpty()) panels_[3] = fuelText(facts.cng);
}
