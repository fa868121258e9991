#include "ConfigReader.h"

#include <QDir>
#include <QTemporaryFile>

#include "BuildProfile.h"
#include "ConfigSource.h"
#include "DataContext.h"
#include "EcuSession.h"
#include "IniFile.h"
#include "Scrambler.h"
#include "TQorConnectEcu.h"
#include "TemperatureCurve.h"
#include "TransferEngine.h"
#include "TransferError.h"
#include "TransferFlags.h"

ConfigReader::Result ConfigReader::FromFile(const QString& fileName, const QString& key) {
    return Read([&](ConfigSource& source) { source.OpenFile(fileName, true, key); });
}

ConfigReader::Result ConfigReader::FromText(const QByteArray& text) {
    if (text.size() > IniFile::kMaxSize)
        return {std::nullopt, QString::fromUtf8(ConfigSource::kReadFailed)};
    // A file that starts unscrambled is read as it is: the key goes unused.
    const QByteArray header = QByteArray(Scrambler::kDecryptedHeader) + "\r\n";
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/_mtXXXXXX.tmp"));
    if (!file.open() ||
        file.write(text.startsWith(Scrambler::kDecryptedHeader) ? text : header + text) < 0 ||
        !file.flush())
        return {std::nullopt, QString::fromUtf8(ConfigSource::kReadFailed)};
    file.close();
    return FromFile(file.fileName(), BuildProfile::ScrambleKey());
}

ConfigReader::Result ConfigReader::FromResource(int number, const QString& key) {
    return Read([&](ConfigSource& source) { source.OpenResource(number, key); });
}

ConfigReader::Result ConfigReader::Read(const std::function<void(ConfigSource&)>& open) {
    ParameterStore store;
    TemperatureCurve gas;
    TemperatureCurve engine;
    ConfigSource source;
    const QString fileName;
    // A link component that loads no library: its empty link is never connected, so the
    // rows move between defaults and the source alone.
    TQorConnectEcu offline(false);
    EcuSession ecu(offline, store);
    DataContext context{store, ecu, source, fileName, gas, engine, {}};
    try {
        open(source);
        TransferEngine(context, TransferFlag::kLoadDefaults, Group::kAll, false).MoveRows();
    } catch (const TransferError& error) {
        return {std::nullopt, error.text()};
    }
    // Dropped, never closed onto the file: reading a configuration leaves it as it was.
    source.CloseResource();
    store.setModified(false);
    return {std::move(store), {}};
}
