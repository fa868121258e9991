#pragma once

// Which entry of the main screen's list is selected. Moves stop at the ends: there is no
// wrap-around. Every move answers whether the selection changed.
class EntrySelection {
  public:
    explicit EntrySelection(int count) : count_(count) {}

    int Index() const { return index_; }
    int Count() const { return count_; }
    bool Up();
    bool Down();
    // Selects the entry with that position (a hovered label's tag); out of range is ignored.
    bool Select(int index);

  private:
    int count_;
    int index_ = 0;
};
