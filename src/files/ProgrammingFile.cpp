#include "ProgrammingFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "Rc4.h"
#include "Scrambler.h"

namespace {
// Larger images than this are no firmware of an ECU; the bound also caps every read.
constexpr qsizetype kMaxFirmware = Scrambler::kMaxFileSize - ProgrammingFile::kHeaderSize;

bool isFirmwareSize(qsizetype size) { return size > 0 && size <= kMaxFirmware; }

QByteArray withLength(QByteArray firmware) {
    QByteArray image(ProgrammingFile::kLengthSize, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(firmware.size()), image.data());
    return image + firmware;
}
}  // namespace

bool ProgrammingFile::IsEncrypted(QByteArrayView file) {
    const QByteArrayView marker(kMarker, kMarkerSize);
    if (file.startsWith(marker)) return true;
    return !file.isEmpty() && file.size() < kMarkerSize && marker.startsWith(file);
}

QByteArray ProgrammingFile::KeyMaterial(QByteArrayView header) {
    QByteArray material;
    if (header.size() < kHeaderSize) return material;
    const QByteArrayView mask = header.sliced(kMarkerSize, kMaskSize);
    const QByteArrayView groups = header.sliced(kMarkerSize + kMaskSize, kGroupsSize);
    for (qsizetype i = 0; i < kMaskSize; ++i)
        for (int b = 0; b < 8; ++b)
            if (static_cast<uint8_t>(mask[i]) & (1u << b)) material += groups[i * kGroupSize + b];
    return material;
}

QByteArray ProgrammingFile::rc4Key(QByteArrayView header) {
    return QCryptographicHash::hash(KeyMaterial(header), QCryptographicHash::Md5);
}

std::optional<QByteArray> ProgrammingFile::DecryptImage(QByteArrayView file) {
    if (file.size() < kHeaderSize || !IsEncrypted(file)) return std::nullopt;
    if (!isFirmwareSize(file.size() - kHeaderSize)) return std::nullopt;
    // One key stream over the whole payload: the same bytes as block by block.
    QByteArray firmware = file.sliced(kHeaderSize).toByteArray();
    Rc4(rc4Key(file)).Apply(firmware);
    return withLength(std::move(firmware));
}

std::optional<QByteArray> ProgrammingFile::UnscrambleImage(QByteArrayView file,
                                                           const QString& key) {
    if (!isFirmwareSize(file.size())) return std::nullopt;
    auto firmware = Scrambler::UnscrambleResourceBytes(file, false, key);
    if (!firmware) return std::nullopt;
    return withLength(std::move(*firmware));
}

std::optional<QByteArray> ProgrammingFile::ImageOf(QByteArrayView file, const QString& key) {
    return IsEncrypted(file) ? DecryptImage(file) : UnscrambleImage(file, key);
}

bool ProgrammingFile::IsValidImage(QByteArrayView file) {
    if (file.size() <= kLengthSize) return false;
    const quint32 length = qFromLittleEndian<quint32>(file.data());
    return isFirmwareSize(file.size() - kLengthSize) &&
           length == static_cast<quint64>(file.size() - kLengthSize);
}

std::optional<QByteArray> ProgrammingFile::read(const QString& fileName, Status& status) {
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        status = Status::CannotOpen;
        return std::nullopt;
    }
    file.close();
    status = Status::Damaged;
    return Scrambler::ReadWholeFile(fileName, Scrambler::kMaxFileSize);
}

ProgrammingFile::Loaded ProgrammingFile::Load(const QString& fileName, const QString& key) {
    Loaded loaded;
    const auto bytes = read(fileName, loaded.status);
    if (!bytes) return loaded;
    auto image = ImageOf(*bytes, key);
    if (!image) return loaded;
    loaded.status = Status::Ok;
    loaded.image = std::move(*image);
    return loaded;
}

ProgrammingFile::Status ProgrammingFile::CheckImageFile(const QString& fileName) {
    Status status = Status::Damaged;
    const auto bytes = read(fileName, status);
    if (!bytes) return status;
    return IsValidImage(*bytes) ? Status::Ok : Status::Damaged;
}

QByteArray ProgrammingFile::Encrypt(QByteArrayView firmware, QByteArrayView mask,
                                    QByteArrayView groups) {
    QByteArray file(kMarker, kMarkerSize);
    file += mask.first(kMaskSize).toByteArray();
    file += groups.first(kGroupsSize).toByteArray();
    QByteArray payload = firmware.toByteArray();
    Rc4(rc4Key(file)).Apply(payload);
    return file + payload;
}

std::optional<QByteArray> ProgrammingFile::Scramble(QByteArrayView firmware, const QString& key) {
    // The transformation is its own inverse.
    auto file = Scrambler::UnscrambleResourceBytes(firmware, false, key);
    // Scrambled firmware that happened to begin like the marker would be taken for an
    // encrypted file; refuse to make it.
    if (file && IsEncrypted(*file)) return std::nullopt;
    return file;
}

QByteArray ProgrammingFile::MakeImage(QByteArrayView firmware) {
    return withLength(firmware.toByteArray());
}
