#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "ProgrammingFile.h"
#include "Rc4.h"
#include "Scrambler.h"

namespace {

const QString kKey = QStringLiteral("chiave di banco");

QByteArray firmware(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return bytes;
}

QByteArray lengthOf(qsizetype n) {
    QByteArray length(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(n), length.data());
    return length;
}

QByteArray header(QByteArray mask, QByteArray groups) {
    return QByteArray(ProgrammingFile::kMarker) + mask + groups;
}

// RFC 6229: the key stream at four offsets for a 40-bit and a 128-bit key.
TEST(Rc4Test, KeyStreamMatchesThePublishedVectors) {
    struct Vector {
        const char* key;
        int offset;
        const char* stream;
    };
    const Vector vectors[] = {
        {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
        {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
        {"0102030405", 240, "28cb1132c96ce286421dcaadb8b69eae"},
        {"0102030405", 256, "1cfcf62b03eddb641d77dfcf7f8d8c93"},
        {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
        {"0102030405060708090a0b0c0d0e0f10", 16, "5248c4959014126a6e8a84f11d1a9e1c"},
        {"0102030405060708090a0b0c0d0e0f10", 240, "065902e4b620f6cc36c8589f66432f2b"},
        {"0102030405060708090a0b0c0d0e0f10", 256, "d39d566bc6bce30107681515 49f3873f"},
    };
    for (const Vector& v : vectors) {
        // The stream is drawn in the 255-byte blocks of a programming file: it must run on
        // across the calls.
        Rc4 rc4(QByteArray::fromHex(v.key));
        QByteArray stream;
        while (stream.size() < v.offset + 16) {
            QByteArray block(255, '\0');
            rc4.Apply(block);
            stream += block;
        }
        EXPECT_EQ(stream.mid(v.offset, 16).toHex(), QByteArray(v.stream).replace(' ', ""))
            << v.key << " at " << v.offset;
    }
}

TEST(ProgrammingFileTest, KeyMaterialIsPickedByTheMaskBits) {
    QByteArray mask(16, '\0'), groups(128, '\0');
    for (int i = 0; i < 128; ++i) groups[i] = static_cast<char>(i);
    mask[0] = 0x05;                      // bytes 0 and 2 of group 0
    mask[3] = 0x40;                      // byte 6 of group 3
    mask[15] = static_cast<char>(0x80);  // byte 7 of group 15
    EXPECT_EQ(ProgrammingFile::KeyMaterial(header(mask, groups)).toHex(), "00021e7f");
    EXPECT_TRUE(ProgrammingFile::KeyMaterial(header(QByteArray(16, '\0'), groups)).isEmpty());
    EXPECT_EQ(ProgrammingFile::KeyMaterial(header(QByteArray(16, '\xff'), groups)), groups);
}

// An encrypted file built here by hand from the layout decrypts to the firmware; the payload
// spans several 255-byte blocks and ends in a short one.
TEST(ProgrammingFileTest, EncryptedFileDecryptsToLengthAndFirmware) {
    QByteArray mask(16, '\0'), groups(128, '\0');
    for (int i = 0; i < 128; ++i) groups[i] = static_cast<char>(0xA0 ^ i);
    mask[2] = 0x33;
    mask[9] = static_cast<char>(0xF0);
    const QByteArray plain = firmware(1000);
    const QByteArray material = ProgrammingFile::KeyMaterial(header(mask, groups));
    ASSERT_EQ(material.size(), 8);
    QByteArray payload = plain;
    Rc4(QCryptographicHash::hash(material, QCryptographicHash::Md5)).Apply(payload);
    const QByteArray file = header(mask, groups) + payload;

    EXPECT_EQ(ProgrammingFile::Encrypt(plain, mask, groups), file);
    const auto image = ProgrammingFile::ImageOf(file, kKey);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(*image, lengthOf(1000) + plain);
}

TEST(ProgrammingFileTest, ScrambledFileIsTheWholeFirmwareWithTheKey) {
    const QByteArray plain = firmware(300);
    const auto file = ProgrammingFile::Scramble(plain, kKey);
    ASSERT_TRUE(file.has_value());
    EXPECT_NE(*file, plain);
    EXPECT_EQ(ProgrammingFile::ImageOf(*file, kKey), lengthOf(300) + plain);
    // Another key gives other bytes of the same length: nothing tells, so the key matters.
    EXPECT_NE(ProgrammingFile::ImageOf(*file, QStringLiteral("altra")), lengthOf(300) + plain);
    EXPECT_FALSE(ProgrammingFile::ImageOf(*file, QString()).has_value());
}

TEST(ProgrammingFileTest, DamagedFilesGiveNoImage) {
    const QByteArray good =
        ProgrammingFile::Encrypt(firmware(600), QByteArray(16, '\x11'), QByteArray(128, '\x22'));
    const QByteArray image = ProgrammingFile::MakeImage(firmware(50));
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case packed[] = {
        {"empty", QByteArray()},
        {"cut inside the marker", good.first(10)},
        {"cut inside the header", good.first(165)},
        {"header without firmware", good.first(166)},
    };
    for (const Case& c : packed) EXPECT_FALSE(ProgrammingFile::ImageOf(c.bytes, kKey)) << c.what;

    EXPECT_TRUE(ProgrammingFile::IsValidImage(image));
    QByteArray pastTheEnd = image;
    qToLittleEndian<quint32>(51, pastTheEnd.data());
    QByteArray huge = image;
    qToLittleEndian<quint32>(0xFFFFFFFFu, huge.data());
    const Case images[] = {
        {"empty", QByteArray()},
        {"length only", lengthOf(0)},
        {"length past the end", pastTheEnd},
        {"length far past the end", huge},
        {"cut short", image.first(30)},
        {"bytes after the image", image + "x"},
    };
    for (const Case& c : images) EXPECT_FALSE(ProgrammingFile::IsValidImage(c.bytes)) << c.what;
}

TEST(ProgrammingFileTest, FilesOnDiskTellMissingFromDamaged) {
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return dir.filePath(name);
    };
    const QByteArray plain = firmware(700);
    const QString encrypted =
        write(QStringLiteral("a.pk4"),
              ProgrammingFile::Encrypt(plain, QByteArray(16, '\x5a'), QByteArray(128, '\x3c')));
    const QString scrambled =
        write(QStringLiteral("b.pk4"), *ProgrammingFile::Scramble(plain, kKey));
    const QString empty = write(QStringLiteral("c.pk4"), QByteArray());
    const QString image = write(QStringLiteral("d.im4"), ProgrammingFile::MakeImage(plain));
    const QString cut = write(QStringLiteral("e.im4"), ProgrammingFile::MakeImage(plain).first(99));

    for (const QString& name : {encrypted, scrambled}) {
        const auto loaded = ProgrammingFile::Load(name, kKey);
        EXPECT_EQ(loaded.status, ProgrammingFile::Status::Ok);
        EXPECT_EQ(loaded.image, lengthOf(700) + plain);
    }
    EXPECT_EQ(ProgrammingFile::Load(empty, kKey).status, ProgrammingFile::Status::Damaged);
    EXPECT_EQ(ProgrammingFile::Load(dir.filePath("none"), kKey).status,
              ProgrammingFile::Status::CannotOpen);
    EXPECT_EQ(ProgrammingFile::Load(dir.path(), kKey).status, ProgrammingFile::Status::CannotOpen);
    EXPECT_TRUE(ProgrammingFile::Load(empty, kKey).image.isEmpty());

    EXPECT_EQ(ProgrammingFile::CheckImageFile(image), ProgrammingFile::Status::Ok);
    EXPECT_EQ(ProgrammingFile::CheckImageFile(cut), ProgrammingFile::Status::Damaged);
    EXPECT_EQ(ProgrammingFile::CheckImageFile(empty), ProgrammingFile::Status::Damaged);
    EXPECT_EQ(ProgrammingFile::CheckImageFile(dir.filePath("none")),
              ProgrammingFile::Status::CannotOpen);
}

}  // namespace
