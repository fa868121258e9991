#pragma once

#include <cstdint>

// The element codes of value access (GetElement / SetElement): the catalogue row whose
// elements each addresses, and whether they are times in timer counts.
class ElementCodes {
  public:
    struct Code {
        uint32_t code;
        int row;
        bool milliseconds;
    };

    static const Code* Find(uint32_t code);
    // The code that addresses a row's elements; nullptr when none does.
    static const Code* OfRow(int rowNumber);
};
