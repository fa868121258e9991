// The language library: one block of strings per language, string n of language c at id
// c x kStride + n. Exports plain C functions so that the program resolves them by name.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "StringBlock.h"

#define LANGUAGES_EXPORT extern "C" __attribute__((visibility("default")))

extern const unsigned char kItalianBlock[];
extern const std::size_t kItalianBlockSize;
extern const unsigned char kEnglishBlock[];
extern const std::size_t kEnglishBlockSize;

namespace {
// Room for the program's 499 numbers and some growth.
constexpr int32_t kStride = 1000;

const std::array<StringBlock, 2>& blocks() {
    static const std::array<StringBlock, 2> all = {
        StringBlock(kItalianBlock, kItalianBlockSize, kStride),
        StringBlock(kEnglishBlock, kEnglishBlockSize, kStride)};
    return all;
}

// The longest prefix of text that fits in room bytes without splitting a UTF-8 sequence.
std::size_t fittingLength(const std::string& text, std::size_t room) {
    if (text.size() <= room) return text.size();
    std::size_t length = room;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return length;
}
}  // namespace

LANGUAGES_EXPORT void _MaxLanguages(int8_t* count) {
    if (count) *count = static_cast<int8_t>(blocks().size());
}

LANGUAGES_EXPORT void _MaxStrings(int32_t* count) {
    if (count) *count = kStride;
}

// Copies string id as UTF-8 with a final NUL, cut to fit size; returns the bytes copied,
// 0 when the string does not exist.
LANGUAGES_EXPORT int32_t _GetString(int32_t id, char* buffer, int32_t size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (id < 0 || static_cast<std::size_t>(id / kStride) >= blocks().size()) return 0;
    const std::string* text = blocks()[static_cast<std::size_t>(id / kStride)].find(id % kStride);
    if (!text) return 0;
    const std::size_t length = fittingLength(*text, static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text->data(), length);
    buffer[length] = '\0';
    return static_cast<int32_t>(length);
}
