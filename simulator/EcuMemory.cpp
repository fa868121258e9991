#include "EcuMemory.h"

#include <algorithm>

namespace sim {

EcuMemory::EcuMemory(const EcuVariableTable& table) : table_(table) {
    for (const auto& [number, variable] : table.all()) working_[number] = variable.initial;
    permanent_ = working_;
}

const std::vector<int32_t>& EcuMemory::values(int number) const {
    static const std::vector<int32_t> none;
    const auto it = working_.find(number);
    return it == working_.end() ? none : it->second;
}

int32_t EcuMemory::value(int number, int index) const {
    const auto& v = values(number);
    return index >= 0 && index < static_cast<int>(v.size()) ? v[index] : 0;
}

int32_t EcuMemory::permanent(int number, int index) const {
    const auto it = permanent_.find(number);
    if (it == permanent_.end() || index < 0 || index >= static_cast<int>(it->second.size()))
        return 0;
    return it->second[index];
}

bool EcuMemory::set(int number, int index, int32_t value) {
    const auto it = working_.find(number);
    if (it == working_.end() || index < 0 || index >= static_cast<int>(it->second.size()))
        return false;
    it->second[index] = value;
    if (!saveOpen_) permanent_[number][index] = value;
    return true;
}

void EcuMemory::closeSave() {
    permanent_ = working_;
    saveOpen_ = false;
}

void EcuMemory::reload() {
    working_ = permanent_;
    saveOpen_ = false;
}

void EcuMemory::factoryReset(const std::vector<int>& keep) {
    for (const auto& [number, variable] : table_.all())
        if (std::find(keep.begin(), keep.end(), number) == keep.end())
            working_[number] = permanent_[number] = variable.initial;
}

}  // namespace sim
