#include "TStatusBarMain.h"

#include <qdrawutil.h>

#include <QPainter>

#include "ScreenScale.h"

TStatusBarMain::TStatusBarMain(MainStatus& status, int screenWidth, QWidget* parent)
    : QStatusBar(parent), status_(status) {
    const ScreenScale scale(screenWidth);
    for (size_t i = 0; i < widths_.size(); ++i) widths_[i] = scale(kDesignWidths[i]);
    setSizeGripEnabled(false);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setBold(true);
    f.setPixelSize(scale(kCharacterPixels));
    setFont(f);
    setFixedHeight(fontMetrics().height() + 8);
}

QRect TStatusBarMain::PanelRect(int index) const {
    int left = 0;
    for (int i = 0; i < index; ++i) left += PanelWidth(i);
    return {left, 0, PanelWidth(index), height()};
}

int TStatusBarMain::TextTop(int panelTop, int panelHeight, int characterHeight) {
    return panelTop + (panelHeight - characterHeight) / 2 - 1;
}

void TStatusBarMain::paintEvent(QPaintEvent*) {
    if (description_) status_.RefreshDescription(description_());
    QPainter painter(this);
    painter.setFont(font());
    const int characterHeight = painter.fontMetrics().height();
    for (int i = 0; i < MainStatus::kPanels; ++i) {
        const QRect panel = PanelRect(i).adjusted(0, 1, -2, -1);
        qDrawShadePanel(&painter, panel, palette(), true, 1);
        const QRect inside = panel.adjusted(1, 1, -1, -1);
        if (i == 0 && !status_.Connected()) painter.fillRect(inside, QColor(255, 255, 0));
        const int left = inside.left() + (i == 0 ? 1 : 2);
        const int top = TextTop(inside.top(), inside.height(), characterHeight);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(left, top, inside.right() - left, characterHeight),
                         Qt::AlignLeft | Qt::AlignTop, status_.Panel(i));
    }
}
