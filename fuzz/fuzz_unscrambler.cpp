// libFuzzer target: the unscrambling of configuration files in memory, with any key and any
// header. Scrambling is its own inverse; the body unscrambled is the one worked out here byte
// by byte; unscrambling then scrambling again gives the body back under the scrambled header;
// no key, no result.
#include <cstdlib>

#include "FuzzInput.h"
#include "Scrambler.h"

namespace {
qsizetype headerSize(const char* header) { return qstrlen(header) + 2; }

// Byte n of a body XORed with key[n mod length] shifted left by n mod 5, worked out here
// apart from the scrambler.
QByteArray reference(QByteArrayView body, const QByteArray& key) {
    QByteArray out(body.size(), '\0');
    for (qsizetype n = 0; n < body.size(); ++n)
        out[n] = static_cast<char>(
            static_cast<uint8_t>(body[n]) ^
            static_cast<uint8_t>(static_cast<uint8_t>(key[n % key.size()]) << (n % 5)));
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput input(data, size);
    const auto key = Scrambler::KeyBytes(input.key);
    if (key.has_value() == input.key.isEmpty()) std::abort();
    if (!key) {
        if (Scrambler::Convert(input.rest, true, true, input.key)) std::abort();
        return 0;
    }

    QByteArray twice = input.rest.toByteArray();
    Scrambler::Transform(twice, *key);
    Scrambler::Transform(twice, *key);
    if (twice != input.rest) std::abort();

    const auto plain = Scrambler::Convert(input.rest, true, true, input.key);
    if (!plain) std::abort();
    if (plain->startsWith(Scrambler::kDecryptedHeader) == false) std::abort();
    if (input.rest.startsWith(Scrambler::kDecryptedHeader) && *plain == input.rest) return 0;
    // The bodies: the source's is whatever follows its header, when it has one.
    const qsizetype body = plain->size() - headerSize(Scrambler::kDecryptedHeader);
    if (body < 0 || plain->last(body) != reference(input.rest.last(body), *key)) std::abort();
    const auto again = Scrambler::Convert(*plain, false, true, input.key);
    if (!again || !again->startsWith(Scrambler::kEncryptedHeader)) std::abort();
    if (again->size() - headerSize(Scrambler::kEncryptedHeader) != body ||
        again->right(body) != input.rest.last(body))
        std::abort();

    const auto resource = Scrambler::UnscrambleResourceBytes(input.rest, true, input.key);
    if (!resource || resource->size() > input.rest.size()) std::abort();
    return 0;
}
