#include "ConfigTabBar.h"

#include <QPainter>

#include "EditorLook.h"
#include "EditorTabs.h"

ConfigTabBar::ConfigTabBar(QWidget* parent) : QTabBar(parent) {
    setObjectName(QStringLiteral("TabBar"));
    setDrawBase(false);
    setExpanding(false);
    setFocusPolicy(Qt::NoFocus);
}

void ConfigTabBar::SetTabSize(int thickness, int length) {
    thickness_ = thickness;
    length_ = length;
    updateGeometry();
    update();
}

void ConfigTabBar::SetFontPoints(int points) { setFont(EditorLook::Modern(points)); }

std::vector<bool> ConfigTabBar::Visibility() const {
    std::vector<bool> visible;
    for (int i = 0; i < count(); ++i) visible.push_back(isTabVisible(i));
    return visible;
}

QString ConfigTabBar::PaintedText(int index) const {
    return EditorTabs::TabText(EditorTabs::VisiblePosition(index, Visibility()), tabText(index));
}

QSize ConfigTabBar::tabSizeHint(int) const { return {thickness_, length_}; }

void ConfigTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i)) continue;
        const QRect r = tabRect(i);
        const bool selected = i == currentIndex();
        painter.fillRect(r, selected ? EditorLook::kRed : EditorLook::InfoBackground());
        painter.setPen(selected ? EditorLook::ButtonText() : EditorLook::kNavy);
        painter.drawText(r, Qt::AlignCenter, PaintedText(i));
    }
}

ConfigPageControl::ConfigPageControl(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("PageControl"));
    bar_ = new ConfigTabBar(this);
    setTabBar(bar_);
    setTabPosition(QTabWidget::West);
}
