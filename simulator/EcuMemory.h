#pragma once

#include <map>
#include <vector>

#include "EcuVariableTable.h"

namespace sim {

// The ECU's working memory and its permanent copy. Outside a save sequence every write is
// made permanent at once; inside one (command 17 .. command 18) writes stay in working memory
// until the sequence closes, and a restart before that loses them.
class EcuMemory {
  public:
    explicit EcuMemory(const EcuVariableTable& table);

    const EcuVariableTable& table() const { return table_; }
    const std::vector<int32_t>& values(int number) const;
    int32_t value(int number, int index = 0) const;
    // Clamps nothing: callers check ranges. Returns false for an unknown element.
    bool set(int number, int index, int32_t value);
    int32_t permanent(int number, int index = 0) const;

    void openSave() { saveOpen_ = true; }
    void closeSave();
    bool saveOpen() const { return saveOpen_; }
    // Power back: working memory from the permanent copy.
    void reload();
    // Factory contents, except the variables listed.
    void factoryReset(const std::vector<int>& keep);

  private:
    const EcuVariableTable& table_;
    std::map<int, std::vector<int32_t>> working_;
    std::map<int, std::vector<int32_t>> permanent_;
    bool saveOpen_ = false;
};

}  // namespace sim
