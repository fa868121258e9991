#include "TQorGlobalData.h"

#include <QDir>
#include <QSettings>
#include <memory>

#include "Dialogs.h"

namespace {
const QString kComPort = QStringLiteral("ComPort");
const QString kLanguage = QStringLiteral("Language");
const QString kMainPath = QStringLiteral("MainPath");
const QString kArchive = QStringLiteral("Archivio");

// An integer value as the registry would hold it: a number, or a text of digits in an INI
// file. Anything else is of the wrong type.
bool readInt(const QSettings& settings, const QString& name, int& out) {
    const QVariant value = settings.value(name);
    if (!value.isValid()) return false;
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong ||
        value.typeId() == QMetaType::UInt) {
        out = value.toInt();
        return true;
    }
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray)
        return false;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (ok) out = number;
    return ok;
}

bool readText(const QSettings& settings, const QString& name, QString& out) {
    const QVariant value = settings.value(name);
    if (!value.isValid()) return false;
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::QByteArray)
        return false;
    out = value.toString();
    return true;
}
}  // namespace

const QString TQorGlobalData::kRepairText = QStringLiteral(
    "Il programma non è in grado di rilevare alcune impostazioni essenziali.\n"
    "Queste verranno ora resettate: controllarne la correttezza.\n"
    "In caso di ulteriori problemi ripetere l'installazione del software.");

TQorGlobalData::TQorGlobalData() : mainPath_(QDir::currentPath()) {}

TQorGlobalData::~TQorGlobalData() { Save(); }

QSettings* TQorGlobalData::open(const QString& strKey) {
    // The key is written the registry's way, "\Software\Subkey", on every platform.
    QStringList parts = QString(strKey).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (!parts.isEmpty() &&
        parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty()) return nullptr;
    const QString organisation = parts.takeFirst();
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope, organisation,
                         parts.join(u'/'));
}

bool TQorGlobalData::LoadStrKey() {
    std::unique_ptr<QSettings> settings(open(strKey_));
    if (!settings || settings->status() != QSettings::NoError) return false;
    if (!readInt(*settings, kComPort, comPort_)) return false;
    if (!readText(*settings, kMainPath, mainPath_)) return false;
    if (!readInt(*settings, kLanguage, language_)) return false;
    readText(*settings, kArchive, archive_);
    return true;
}

QString TQorGlobalData::ReadArchive(const QString& strKey) {
    std::unique_ptr<QSettings> settings(open(strKey));
    QString location;
    if (settings) readText(*settings, kArchive, location);
    return location;
}

bool TQorGlobalData::LoadStrKeyOrWarn(const QString& title) {
    if (LoadStrKey()) return true;
    Dialogs::current().error(title, kRepairText);
    return false;
}

bool TQorGlobalData::Save() const {
    std::unique_ptr<QSettings> settings(open(strKey_));
    if (!settings) return false;
    settings->setValue(kMainPath, mainPath_);
    settings->setValue(kComPort, comPort_);
    settings->setValue(kLanguage, language_);
    settings->setValue(kArchive, archive_);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

int TQorGlobalData::Get(int index) const {
    switch (index) {
        case 1:
            return comPort_;
        case 2:
            return language_;
        default:
            return 0;
    }
}

int TQorGlobalData::Get(int index, QString& text) const {
    if (index != 0) return 0;
    text = mainPath_;
    return 1;
}

int TQorGlobalData::Set(int index, int value) {
    switch (index) {
        case 1:
            comPort_ = value;
            return 1;
        case 2:
            language_ = value;
            return 1;
        default:
            return 0;
    }
}

int TQorGlobalData::Set(int index, const QString& text) {
    if (index != 0) return 0;
    mainPath_ = text;
    return 1;
}
