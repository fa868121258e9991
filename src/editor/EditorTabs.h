#pragma once

#include <QString>
#include <Qt>
#include <vector>

// The tab strip of the configuration editor without its widgets: the size of the tabs along
// the left edge, their text and font, and the tab each navigation key selects.
class EditorTabs {
  public:
    static constexpr int kDesignWidth = 800;
    static constexpr int kMinDivisions = 5;  // tabs are never longer than a fifth of the edge

    // Length of every tab along the edge: the height divided by the larger of the visible
    // tabs and 5, less one pixel.
    static int TabLength(int controlHeight, int visibleTabs);
    // The tab thickness follows a change of the screen width.
    static int ScaledThickness(int thickness, int oldWidth, int newWidth);
    static int FontPoints(int screenWidth) { return screenWidth * 10 / kDesignWidth; }
    // "F" + position among the visible tabs (from 1) + " " + caption.
    static QString TabText(int position, const QString& caption);
    // Position (from 1) of tab index among the visible tabs; 0 when it is hidden.
    static int VisiblePosition(int index, const std::vector<bool>& visible);

    // The tab a key selects (F1-F12 without Alt, Page Up/Down with wrap, Ctrl+Page Up/Down
    // for the first/last tab), or -1 when the key is not the tab strip's.
    static int TabForKey(int key, Qt::KeyboardModifiers modifiers, int current,
                         const std::vector<bool>& visible);

  private:
    static int Step(int from, int steps, const std::vector<bool>& visible);
};
