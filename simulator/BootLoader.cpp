#include "BootLoader.h"

#include <algorithm>
#include <cstring>

#include "Crc32.h"
#include "Protocol.h"

namespace sim {

namespace p = ecu::protocol;

uint8_t BootLoader::start(uint8_t mode, uint8_t option, uint8_t verify, uint32_t length) {
    reset();
    // Mode 2: erase, then write; option 0: no other choice exists.
    if (mode != 2 || option != 0 || verify > 1) return p::kBadPayload;
    if (length == 0 || length > p::kMaxImage) return p::kBadPayload;
    active_ = true;
    verify_ = verify == 1;
    image_.assign(length, 0xFF);
    received_.assign(length, false);
    return 0;
}

uint8_t BootLoader::data(uint32_t offset, const uint8_t* bytes, size_t size) {
    if (!active_) return p::kProgramSequence;
    if (size == 0 || offset > image_.size() || size > image_.size() - offset) return p::kBadIndex;
    std::copy_n(bytes, size, image_.begin() + offset);
    std::fill_n(received_.begin() + offset, size, true);
    return 0;
}

int32_t BootLoader::finish(uint32_t crc) {
    active_ = false;
    if (std::find(received_.begin(), received_.end(), false) != received_.end())
        return p::kProgramBadImage;
    if (verify_ && ecu::Crc32::of(image_.data(), image_.size()) != crc)
        return p::kProgramVerifyFailed;
    return p::kProgramOk;
}

std::optional<std::pair<int, int>> BootLoader::versionIn(const std::vector<uint8_t>& image) {
    static const uint8_t marker[] = {'F', 'W', 'V', 'E', 'R'};
    const auto at = std::search(image.begin(), image.end(), std::begin(marker), std::end(marker));
    if (image.end() - at < 7) return std::nullopt;
    return std::make_pair(static_cast<int>(at[5]), static_cast<int>(at[6]));
}

}  // namespace sim
