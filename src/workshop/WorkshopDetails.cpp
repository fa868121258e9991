#include "WorkshopDetails.h"

#include <QSettings>
#include <memory>

#include "TQorGlobalData.h"

namespace {
const QString kName = QStringLiteral("NomeOfficina");
const QString kAddress = QStringLiteral("IndirizzoOfficina");
const QString kTelephone = QStringLiteral("TelefonoOfficina");

QString bounded(QString text) {
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text.trimmed().left(WorkshopDetails::kMaxText);
}

QString readText(const QSettings& settings, const QString& name) {
    const QVariant value = settings.value(name);
    return value.typeId() == QMetaType::QString ? bounded(value.toString()) : QString();
}
}  // namespace

WorkshopDetails WorkshopDetails::Bounded() const {
    return {bounded(name), bounded(address), bounded(telephone)};
}

WorkshopDetails WorkshopDetails::Load(const TQorGlobalData& settings) {
    const std::unique_ptr<QSettings> store(settings.OpenSettings());
    if (!store) return {};
    return {readText(*store, kName), readText(*store, kAddress), readText(*store, kTelephone)};
}

bool WorkshopDetails::Save(const TQorGlobalData& settings, const WorkshopDetails& details) {
    const std::unique_ptr<QSettings> store(settings.OpenSettings());
    if (!store) return false;
    const WorkshopDetails kept = details.Bounded();
    store->setValue(kName, kept.name);
    store->setValue(kAddress, kept.address);
    store->setValue(kTelephone, kept.telephone);
    store->sync();
    return store->status() == QSettings::NoError;
}
