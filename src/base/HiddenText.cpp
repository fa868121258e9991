#include "HiddenText.h"

QByteArray HiddenText::decode(std::span<const uint8_t> differences) {
    QByteArray out;
    uint8_t value = 0;
    for (uint8_t difference : differences) {
        value = static_cast<uint8_t>(value + difference);
        if (value == 0) break;
        out.append(static_cast<char>(value));
    }
    return out;
}

QByteArray HiddenText::encode(const QByteArray& text) {
    QByteArray out;
    uint8_t previous = 0;
    for (char c : text + QByteArray(1, '\0')) {
        const auto value = static_cast<uint8_t>(c);
        out.append(static_cast<char>(static_cast<uint8_t>(value - previous)));
        previous = value;
    }
    return out;
}
