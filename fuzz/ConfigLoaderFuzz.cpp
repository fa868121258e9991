// The loader of configuration files: the bytes of a file through the unscrambling, the check
// of configuration text, the INI parse, a read of every key a configuration holds and the
// scrambled write-back on close.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <vector>

#include "BuildProfile.h"
#include "ConfigSource.h"
#include "Scrambler.h"
#include "TransferError.h"

namespace {

struct Key {
    QString section;
    QString key;
};

std::unique_ptr<QTemporaryDir> folder;
std::vector<Key> keys;
QString key;

// Every section and key of a complete base configuration: the keys a load reads.
std::vector<Key> KeysOf(const QString& fileName) {
    std::vector<Key> found;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return found;
    QString section;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[') && line.endsWith(']'))
            section = line.mid(1, line.size() - 2);
        else if (line.contains('=') && !line.startsWith(';'))
            found.push_back({section, line.left(line.indexOf('=')).trimmed()});
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The temporary copies go to a folder of our own, in memory when the system has one.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/fuzz-config-XXXXXX"));
    qputenv("TMPDIR", folder->path().toLocal8Bit());
    keys = KeysOf(QStringLiteral(CONFIG_BASE_SOURCE_DIR "/010-gpl-0.ini"));
    key = BuildProfile::ScrambleKey();
    if (keys.size() < 300) abort();  // the key list is part of the harness
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString fileName = folder->filePath(QStringLiteral("input.kv4"));
    {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    ConfigSource source;
    try {
        source.OpenFile(fileName, true, key);
    } catch (const TransferError&) {
        return 0;
    }
    int32_t number = 0;
    bool flag = false;
    QString text;
    for (const Key& k : keys) {
        source.ReadInt(number, k.key, k.section);
        source.ReadBool(flag, k.key, k.section);
        source.ReadText(text, k.key, k.section, 51);
    }
    source.WriteInt(number, QStringLiteral("VersioneFile"), QStringLiteral("Generale"));
    source.WriteText(text, QStringLiteral("DescrizAuto"), QStringLiteral("Generale"));
    try {
        source.CloseFile();
    } catch (const TransferError&) {
        abort();  // the folder is ours: writing back must work
    }
    // What was written back loads again.
    ConfigSource again;
    try {
        again.OpenFile(fileName, true, key);
    } catch (const TransferError&) {
        abort();
    }
    again.CloseResource();
    return 0;
}
