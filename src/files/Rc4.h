#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>

// The RC4 stream cipher. One object is one key stream: successive Apply calls continue it, so a
// text processed in blocks comes out as if processed at once.
class Rc4 {
  public:
    // key: 1 to 256 bytes; an empty key is taken as a single zero byte.
    explicit Rc4(QByteArrayView key);

    // XORs the next data.size() bytes of the key stream into data (encrypts and decrypts).
    void Apply(QByteArray& data);

  private:
    uint8_t next();

    std::array<uint8_t, 256> s_{};
    uint8_t i_ = 0;
    uint8_t j_ = 0;
};
