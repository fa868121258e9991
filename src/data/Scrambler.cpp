#include "Scrambler.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace {
constexpr char kLineEnd[] = "\r\n";
}

std::optional<QByteArray> Scrambler::KeyBytes(const QString& key) {
    if (key.isEmpty()) return std::nullopt;
    for (QChar c : key)
        if (c.unicode() > 0xFF) return std::nullopt;
    return key.toLatin1();
}

void Scrambler::Transform(QByteArray& data, const QByteArray& keyBytes) {
    const qsizetype keyLength = keyBytes.size();
    if (keyLength == 0) return;
    char* bytes = data.data();
    for (qsizetype n = 0; n < data.size(); ++n) {
        const auto k = static_cast<uint8_t>(keyBytes[n % keyLength]);
        bytes[n] =
            static_cast<char>(static_cast<uint8_t>(bytes[n]) ^ static_cast<uint8_t>(k << (n % 5)));
    }
}

qsizetype Scrambler::HeaderLength(QByteArrayView data, const char* header) {
    const QByteArrayView word(header);
    if (!data.startsWith(word)) return 0;
    qsizetype end = word.size();
    // The header is a whole word: what follows must end the line.
    if (end < data.size() && data[end] != '\r' && data[end] != '\n') return 0;
    if (end < data.size() && data[end] == '\r') ++end;
    if (end < data.size() && data[end] == '\n') ++end;
    return end;
}

std::optional<QByteArray> Scrambler::Convert(QByteArrayView source, bool unscramble, bool useHeader,
                                             const QString& key) {
    const auto keyBytes = KeyBytes(key);
    if (!keyBytes) return std::nullopt;
    QByteArray out;
    if (useHeader) {
        const char* targetHeader = unscramble ? kDecryptedHeader : kEncryptedHeader;
        const char* sourceHeader = unscramble ? kEncryptedHeader : kDecryptedHeader;
        if (HeaderLength(source, targetHeader) > 0) return source.toByteArray();
        source = source.sliced(HeaderLength(source, sourceHeader));
        out = QByteArray(targetHeader) + kLineEnd;
    }
    QByteArray body = source.toByteArray();
    Transform(body, *keyBytes);
    return out + body;
}

std::optional<QByteArray> Scrambler::ReadWholeFile(const QString& fileName, qint64 maxSize) {
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    const qint64 size = file.size();
    if (size > maxSize) return std::nullopt;
    // One byte more than the size seen: a file that changes while it is read is refused,
    // and a small file never costs a buffer of the whole bound.
    QByteArray bytes = file.read(size + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() != size) return std::nullopt;
    return bytes;
}

bool Scrambler::WriteWholeFile(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    // Unbuffered, so that a short write (a full disk, a size limit) shows in write()'s
    // count: a buffered QSaveFile can drop the tail on its final flush and still commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool Scrambler::ScrambleFile(const QString& source, const QString& target, bool unscramble,
                             bool useHeader, const QString& key) {
    const QFileInfo sourceInfo(source), targetInfo(target);
    if (sourceInfo.absoluteFilePath() == targetInfo.absoluteFilePath()) return false;
    if (targetInfo.exists() && sourceInfo.canonicalFilePath() == targetInfo.canonicalFilePath())
        return false;
    const auto bytes = ReadWholeFile(source);
    if (!bytes) return false;
    const auto converted = Convert(*bytes, unscramble, useHeader, key);
    return converted && WriteWholeFile(target, *converted);
}

std::optional<QByteArray> Scrambler::UnscrambleResourceBytes(QByteArrayView data, bool useHeader,
                                                             const QString& key) {
    const auto keyBytes = KeyBytes(key);
    if (!keyBytes) return std::nullopt;
    if (useHeader) data = data.sliced(HeaderLength(data, kEncryptedHeader));
    QByteArray body = data.toByteArray();
    Transform(body, *keyBytes);
    return body;
}

bool Scrambler::UnscrambleResource(QByteArrayView data, const QString& target, bool useHeader,
                                   const QString& key) {
    const auto body = UnscrambleResourceBytes(data, useHeader, key);
    return body && WriteWholeFile(target, *body);
}

std::optional<QByteArray> Scrambler::LoadScrambledImage(const QString& fileName, bool useHeader,
                                                        const QString& key) {
    const auto bytes = ReadWholeFile(fileName);
    if (!bytes) return std::nullopt;
    const auto body = UnscrambleResourceBytes(*bytes, useHeader, key);
    if (!body) return std::nullopt;
    QByteArray image(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(body->size()), image.data());
    return image + *body;
}
