#pragma once

#include <vector>

// The arithmetic of the main screen's entry list: entries of one height stacked with a small
// gap, centred in the space above the status bar, sharing one left edge. Integer parts cut
// toward zero.
class MainLayout {
  public:
    // h = integer part of (entry height x 0.9).
    static int EntryHeight(int labelHeight);
    // gap = integer part of (h x 0.02).
    static int Gap(int entryHeight);
    // The top of each of n entries.
    static std::vector<int> Tops(int menuLabelHeight, int labelHeight, int n, int screenHeight,
                                 int statusBarHeight);
    // integer part of ((0.95 x screen width - widest entry) x 0.5).
    static int CommonLeft(int screenWidth, int widestEntry);
};
