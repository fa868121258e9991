#include "Rc4.h"

#include <utility>

Rc4::Rc4(QByteArrayView key) {
    static constexpr char kZero = 0;
    if (key.isEmpty()) key = QByteArrayView(&kZero, 1);
    for (int n = 0; n < 256; ++n) s_[n] = static_cast<uint8_t>(n);
    uint8_t j = 0;
    for (int n = 0; n < 256; ++n) {
        j = static_cast<uint8_t>(j + s_[n] + static_cast<uint8_t>(key[n % key.size()]));
        std::swap(s_[n], s_[j]);
    }
}

uint8_t Rc4::next() {
    i_ = static_cast<uint8_t>(i_ + 1);
    j_ = static_cast<uint8_t>(j_ + s_[i_]);
    std::swap(s_[i_], s_[j_]);
    return s_[static_cast<uint8_t>(s_[i_] + s_[j_])];
}

void Rc4::Apply(QByteArray& data) {
    char* bytes = data.data();
    for (qsizetype n = 0; n < data.size(); ++n) bytes[n] = static_cast<char>(bytes[n] ^ next());
}
