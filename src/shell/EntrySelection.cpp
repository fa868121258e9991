#include "EntrySelection.h"

bool EntrySelection::Up() { return index_ > 0 && Select(index_ - 1); }

bool EntrySelection::Down() { return index_ < count_ - 1 && Select(index_ + 1); }

bool EntrySelection::Select(int index) {
    if (index < 0 || index >= count_ || index == index_) return false;
    index_ = index;
    return true;
}
