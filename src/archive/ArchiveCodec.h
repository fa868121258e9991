#pragma once

#include <QByteArray>
#include <optional>

// How a snapshot's text is kept: zlib, optionally with a preset dictionary (the ECU's first
// snapshot: later ones differ from it in a few values and shrink to a fraction), and its
// SHA-256, which finds an unchanged configuration and proves a read whole.
class ArchiveCodec {
  public:
    static QByteArray hash(const QByteArray& text);
    static QByteArray compress(const QByteArray& text, const QByteArray& dictionary = {});
    // nullopt when the body is damaged or does not inflate to exactly `size` bytes.
    static std::optional<QByteArray> decompress(const QByteArray& body, qint64 size,
                                                const QByteArray& dictionary = {});
};
