#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// One language block: string number -> UTF-8 text, read from the table format of the
// program ("number<TAB>text" lines, # comments, \n \t \\ escapes).
class StringBlock {
  public:
    // Numbers at or above maxNumber and texts longer than kMaxTextBytes are left out, as are
    // lines that do not follow the format.
    static constexpr std::size_t kMaxTextBytes = 2048;

    StringBlock(const unsigned char* data, std::size_t size, int32_t maxNumber);

    // nullptr when the block has no string of that number.
    const std::string* find(int32_t number) const;
    std::size_t size() const { return texts_.size(); }

  private:
    void parseLine(const std::string& line, int32_t maxNumber);

    std::map<int32_t, std::string> texts_;
};
