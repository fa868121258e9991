#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace sim {

// The ECU's boot loader: takes a firmware image in numbered pieces and checks it against the
// length announced at the start and, when asked, the CRC-32 sent at the end.
class BootLoader {
  public:
    // 0 or a protocol error number.
    uint8_t start(uint8_t mode, uint8_t option, uint8_t verify, uint32_t length);
    uint8_t data(uint32_t offset, const uint8_t* bytes, size_t size);
    // The verdict on the image: 0, kProgramBadImage (pieces missing) or kProgramVerifyFailed.
    int32_t finish(uint32_t crc);

    bool active() const { return active_; }
    void reset() {
        active_ = false;
        image_.clear();
        received_.clear();
    }
    const std::vector<uint8_t>& image() const { return image_; }

    // An image may carry its version as the bytes "FWVER", major, minor.
    static std::optional<std::pair<int, int>> versionIn(const std::vector<uint8_t>& image);

  private:
    bool active_ = false;
    bool verify_ = false;
    std::vector<uint8_t> image_;
    std::vector<bool> received_;
};

}  // namespace sim
