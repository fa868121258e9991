#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The scrambling of configuration files, base configurations and plain programming files:
// byte n of the body is XORed with (key[n mod keyLength] << (n mod 5)) cut to 8 bits, so
// the same call scrambles and unscrambles. A scrambled file may start with the line
// "ENCRYPTED_MLTP_FILE" CR LF, an unscrambled copy with "DECRYPTED_MLTP_FILE" CR LF.
class Scrambler {
  public:
    static constexpr const char* kEncryptedHeader = "ENCRYPTED_MLTP_FILE";
    static constexpr const char* kDecryptedHeader = "DECRYPTED_MLTP_FILE";
    // Nothing larger is read: configuration files are a few kilobytes, firmware images
    // well under a megabyte.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    // The key as bytes: one byte per character. Empty, or with a character outside Latin-1,
    // there is no key and every operation fails.
    static std::optional<QByteArray> KeyBytes(const QString& key);

    // In place, body position 0 at data[0].
    static void Transform(QByteArray& data, const QByteArray& keyBytes);

    // The header rules of a file-to-file scramble, in memory. Unscrambling, a source that
    // already starts with the unscrambled header is returned unchanged, a scrambled header
    // is dropped and replaced; scrambling, the reverse. A source without either header is
    // all body. nullopt when there is no usable key.
    static std::optional<QByteArray> Convert(QByteArrayView source, bool unscramble, bool useHeader,
                                             const QString& key);

    // Reads source, writes target atomically. Refuses the same file as source and target,
    // an unreadable or oversized source and an unwritable target.
    static bool ScrambleFile(const QString& source, const QString& target, bool unscramble,
                             bool useHeader, const QString& key);

    // The bytes of a base configuration into target, without any header: with useHeader a
    // leading "ENCRYPTED_MLTP_FILE" line is skipped.
    static bool UnscrambleResource(QByteArrayView data, const QString& target, bool useHeader,
                                   const QString& key);
    static std::optional<QByteArray> UnscrambleResourceBytes(QByteArrayView data, bool useHeader,
                                                             const QString& key);

    // A whole file as an image for the ECU link: a 32-bit little-endian length n, then the n
    // unscrambled bytes (with useHeader, a leading "ENCRYPTED_MLTP_FILE" line is not part of
    // them, so n is always the count that follows).
    static std::optional<QByteArray> LoadScrambledImage(const QString& fileName, bool useHeader,
                                                        const QString& key);

    // Bounded read of a whole regular file; nullopt when unreadable or too large.
    static std::optional<QByteArray> ReadWholeFile(const QString& fileName,
                                                   qint64 maxSize = kMaxFileSize);
    // Atomic replacement (sibling file, then rename); the old file stays on any failure.
    static bool WriteWholeFile(const QString& fileName, const QByteArray& bytes);

  private:
    // Length of the header line (the header and its line end) when data starts with it,
    // else 0.
    static qsizetype HeaderLength(QByteArrayView data, const char* header);
};
