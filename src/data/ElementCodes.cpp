#include "ElementCodes.h"

namespace {
constexpr ElementCodes::Code kCodes[] = {{25, 28, false}, {151, 82, false}, {586, 47, true}};
}  // namespace

const ElementCodes::Code* ElementCodes::Find(uint32_t code) {
    for (const Code& e : kCodes)
        if (e.code == code) return &e;
    return nullptr;
}

const ElementCodes::Code* ElementCodes::OfRow(int rowNumber) {
    for (const Code& e : kCodes)
        if (e.row == rowNumber) return &e;
    return nullptr;
}
