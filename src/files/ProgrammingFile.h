#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The files the ECU's firmware is reprogrammed from, and the image the ECU link takes from
// them: a 32-bit little-endian length n, then the n bytes of firmware.
//  - Encrypted file: "ENCRYPTED_FILE_V_01.01", 16 mask bytes, 16 groups of 8 bytes, then the
//    firmware encrypted with RC4. Byte b of group i is key material when bit b of mask byte i
//    is set; the RC4 key is the MD5 digest of the key material, one stream over the whole
//    firmware.
//  - Scrambled file: any other content; the whole file is the firmware scrambled with the
//    configuration-file key, without a header.
//  - Image file: the image itself (length, then the bytes), which the link reads by name.
// Everything works on bytes, so that malformed files can be fed straight in; a file that
// is no programming file of its kind gives nullopt, never a partial image.
class ProgrammingFile {
  public:
    static constexpr char kMarker[] = "ENCRYPTED_FILE_V_01.01";
    static constexpr qsizetype kMarkerSize = sizeof(kMarker) - 1;
    static constexpr qsizetype kMaskSize = 16;
    static constexpr qsizetype kGroupSize = 8;
    static constexpr qsizetype kGroupsSize = kMaskSize * kGroupSize;
    static constexpr qsizetype kHeaderSize = kMarkerSize + kMaskSize + kGroupsSize;  // 166
    static constexpr qsizetype kLengthSize = 4;

    enum class Status {
        Ok,
        CannotOpen,  // the file does not exist or cannot be opened
        Damaged,     // cut short, empty, too large, or not of its kind
    };
    struct Loaded {
        Status status = Status::Damaged;
        QByteArray image;
    };

    // An encrypted file, or one cut short inside its marker (which is no firmware either).
    static bool IsEncrypted(QByteArrayView file);
    // The key material of a header (at least kHeaderSize bytes), 0 to 128 bytes.
    static QByteArray KeyMaterial(QByteArrayView header);

    // The image of an encrypted or a scrambled file, told apart by the marker.
    static std::optional<QByteArray> ImageOf(QByteArrayView file, const QString& key);
    static std::optional<QByteArray> DecryptImage(QByteArrayView file);
    static std::optional<QByteArray> UnscrambleImage(QByteArrayView file, const QString& key);
    // An image file is valid when its length field counts exactly the bytes that follow it.
    static bool IsValidImage(QByteArrayView file);

    // Reads an encrypted or a scrambled file into its image.
    static Loaded Load(const QString& fileName, const QString& key);
    // Reads an image file only to check it; the link reads it again by name.
    static Status CheckImageFile(const QString& fileName);

    // The makers of the three kinds, from the bare firmware (not empty). mask: kMaskSize
    // bytes, groups: kGroupsSize bytes.
    static QByteArray Encrypt(QByteArrayView firmware, QByteArrayView mask, QByteArrayView groups);
    static std::optional<QByteArray> Scramble(QByteArrayView firmware, const QString& key);
    static QByteArray MakeImage(QByteArrayView firmware);

  private:
    static QByteArray rc4Key(QByteArrayView header);
    static std::optional<QByteArray> read(const QString& fileName, Status& status);
};
