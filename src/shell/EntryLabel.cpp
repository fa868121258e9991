#include "EntryLabel.h"

#include <QMouseEvent>

EntryLabel::EntryLabel(const QString& name, const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    SetSelected(false);
}

void EntryLabel::SetSelected(bool selected) {
    selected_ = selected;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, selected ? QColor(0x00, 0xFF, 0x00) : Qt::white);
    setPalette(colours);
    QFont f = font();
    f.setUnderline(selected);
    setFont(f);
}

void EntryLabel::enterEvent(QEnterEvent* event) {
    emit hovered(tag_);
    QLabel::enterEvent(event);
}

void EntryLabel::mouseMoveEvent(QMouseEvent* event) {
    emit hovered(tag_);
    QLabel::mouseMoveEvent(event);
}

void EntryLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(tag_);
    QLabel::mouseReleaseEvent(event);
}
