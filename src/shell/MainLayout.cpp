#include "MainLayout.h"

int MainLayout::EntryHeight(int labelHeight) { return static_cast<int>(labelHeight * 0.9); }

int MainLayout::Gap(int entryHeight) { return static_cast<int>(entryHeight * 0.02); }

std::vector<int> MainLayout::Tops(int menuLabelHeight, int labelHeight, int n, int screenHeight,
                                  int statusBarHeight) {
    const int h = EntryHeight(labelHeight);
    const int gap = Gap(h);
    const double free =
        0.89 * screenHeight - statusBarHeight - menuLabelHeight - n * h - (n - 1) * gap;
    int top = menuLabelHeight + static_cast<int>(free * 0.5);
    std::vector<int> tops;
    for (int i = 0; i < n; ++i, top += h + gap) tops.push_back(top);
    return tops;
}

int MainLayout::CommonLeft(int screenWidth, int widestEntry) {
    return static_cast<int>((0.95 * screenWidth - widestEntry) * 0.5);
}
