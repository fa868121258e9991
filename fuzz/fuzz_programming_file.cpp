// libFuzzer target: the reader of programming files in memory, both kinds. Any file gives a
// whole image (its length counting exactly the bytes after it) or none; and the input, taken
// as firmware, comes back unchanged from the encrypted and the scrambled file made of it.
#include <cstdlib>

#include "FuzzInput.h"
#include "ProgrammingFile.h"

namespace {
void checkImage(const std::optional<QByteArray>& image) {
    if (image && !ProgrammingFile::IsValidImage(*image)) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput input(data, size);
    const QByteArrayView file = input.rest;
    checkImage(ProgrammingFile::ImageOf(file, input.key));
    checkImage(ProgrammingFile::DecryptImage(file));
    checkImage(ProgrammingFile::UnscrambleImage(file, input.key));

    if (file.isEmpty()) return 0;
    const QByteArray image = ProgrammingFile::MakeImage(file);
    // Mask and key groups from the firmware's own bytes, repeated to their sizes.
    QByteArray header;
    while (header.size() < ProgrammingFile::kMaskSize + ProgrammingFile::kGroupsSize)
        header += file.toByteArray();
    const QByteArray encrypted = ProgrammingFile::Encrypt(
        file, header.first(ProgrammingFile::kMaskSize),
        header.sliced(ProgrammingFile::kMaskSize, ProgrammingFile::kGroupsSize));
    if (ProgrammingFile::ImageOf(encrypted, input.key) != image) std::abort();
    if (input.key.isEmpty()) return 0;
    const auto scrambled = ProgrammingFile::Scramble(file, input.key);
    // A scrambled firmware that happens to begin with the marker is read as encrypted.
    if (scrambled && !ProgrammingFile::IsEncrypted(*scrambled) &&
        ProgrammingFile::ImageOf(*scrambled, input.key) != image)
        std::abort();
    return 0;
}
