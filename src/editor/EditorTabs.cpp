#include "EditorTabs.h"

#include <algorithm>

int EditorTabs::TabLength(int controlHeight, int visibleTabs) {
    return controlHeight / std::max(visibleTabs, kMinDivisions) - 1;
}

int EditorTabs::ScaledThickness(int thickness, int oldWidth, int newWidth) {
    if (oldWidth <= 0 || oldWidth == newWidth) return thickness;
    return thickness * newWidth / oldWidth;
}

QString EditorTabs::TabText(int position, const QString& caption) {
    return QStringLiteral("F%1 ").arg(position) + caption;
}

int EditorTabs::VisiblePosition(int index, const std::vector<bool>& visible) {
    if (index < 0 || index >= static_cast<int>(visible.size()) || !visible[index]) return 0;
    return static_cast<int>(std::count(visible.begin(), visible.begin() + index + 1, true));
}

// Steps forward (steps > 0) or back over the visible tabs, wrapping; -1 when none is visible.
int EditorTabs::Step(int from, int steps, const std::vector<bool>& visible) {
    const int n = static_cast<int>(visible.size());
    if (std::find(visible.begin(), visible.end(), true) == visible.end()) return -1;
    const int direction = steps < 0 ? -1 : 1;
    int at = from;
    for (int left = std::abs(steps); left > 0;) {
        at = ((at + direction) % n + n) % n;
        if (visible[at]) --left;
    }
    return at;
}

int EditorTabs::TabForKey(int key, Qt::KeyboardModifiers modifiers, int current,
                          const std::vector<bool>& visible) {
    const int n = static_cast<int>(visible.size());
    if (n == 0) return -1;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        if (modifiers & Qt::AltModifier) return -1;
        const int first = visible[0] ? 0 : Step(0, 1, visible);
        return first < 0 ? -1 : Step(first, key - Qt::Key_F1, visible);
    }
    if (key == Qt::Key_PageDown) return ctrl ? Step(0, -1, visible) : Step(current, 1, visible);
    if (key == Qt::Key_PageUp) return ctrl ? Step(n - 1, 1, visible) : Step(current, -1, visible);
    return -1;
}
