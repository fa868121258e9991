#include "ArchiveCodec.h"

#include <zlib.h>

#include <QCryptographicHash>

QByteArray ArchiveCodec::hash(const QByteArray& text) {
    return QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex();
}

QByteArray ArchiveCodec::compress(const QByteArray& text, const QByteArray& dictionary) {
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK) return {};
    if (!dictionary.isEmpty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.constData()),
                             static_cast<uInt>(dictionary.size()));
    QByteArray out(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(text.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.constData()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return rc == Z_STREAM_END ? out : QByteArray();
}

std::optional<QByteArray> ArchiveCodec::decompress(const QByteArray& body, qint64 size,
                                                   const QByteArray& dictionary) {
    if (size < 0 || body.isEmpty()) return std::nullopt;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    QByteArray out(static_cast<qsizetype>(size), '\0');
    char spare = 0;  // room for one byte too many, so a longer stream is caught
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.constData()));
    z.avail_in = static_cast<uInt>(body.size());
    z.next_out = reinterpret_cast<Bytef*>(size > 0 ? out.data() : &spare);
    z.avail_out = static_cast<uInt>(size > 0 ? size : 1);
    int rc = inflate(&z, Z_FINISH);
    if (rc == Z_NEED_DICT && !dictionary.isEmpty()) {
        if (inflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.constData()),
                                 static_cast<uInt>(dictionary.size())) == Z_OK)
            rc = inflate(&z, Z_FINISH);
    }
    const bool whole =
        rc == Z_STREAM_END && static_cast<qint64>(z.total_out) == size && z.avail_in == 0;
    inflateEnd(&z);
    if (!whole) return std::nullopt;
    return out;
}
