#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// One variable of the ECU's memory as the ECU itself knows it.
struct EcuVariable {
    int number = 0;
    int count = 1;      // elements; 1 = a scalar
    bool wide = false;  // 16-bit elements
    bool isSigned = false;
    int rowLength = 0;  // > 0: a table of count / rowLength rows, accessed by row or cell
    bool readOnly = false;
    std::vector<int32_t> initial;

    bool isArray() const { return count > 1 || rowLength > 0; }
    int rows() const { return rowLength > 0 ? count / rowLength : 0; }
    int32_t low() const { return isSigned ? (wide ? -32768 : -128) : 0; }
    int32_t high() const { return isSigned ? (wide ? 32767 : 127) : (wide ? 65535 : 255); }
};

}  // namespace sim
