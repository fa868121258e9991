#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>

// Splits a fuzzer's input into a key (its first byte gives the length, 0..16: 0 is no key)
// and the rest as the bytes under test.
struct FuzzInput {
    QString key;
    QByteArrayView rest;

    FuzzInput(const uint8_t* data, size_t size) {
        const auto* bytes = reinterpret_cast<const char*>(data);
        const size_t keyLength = size == 0 ? 0 : std::min<size_t>(data[0] % 17, size - 1);
        if (size > 0) key = QString::fromLatin1(bytes + 1, static_cast<qsizetype>(keyLength));
        const size_t used = size == 0 ? 0 : 1 + keyLength;
        rest = QByteArrayView(bytes + used, static_cast<qsizetype>(size - used));
    }
};
