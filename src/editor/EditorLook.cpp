#include "EditorLook.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

const QColor EditorLook::kNavy(0, 0, 128);
const QColor EditorLook::kRed(255, 0, 0);
const QColor EditorLook::kGreen(0, 128, 0);
const QColor EditorLook::kBlue(0, 0, 255);
const QColor EditorLook::kYellow(255, 255, 0);

QColor EditorLook::InfoBackground() { return QApplication::palette().color(QPalette::ToolTipBase); }
QColor EditorLook::ButtonText() { return QApplication::palette().color(QPalette::ButtonText); }

QFont EditorLook::Modern(int pointSize) {
    QFont font(QStringLiteral("Modern"));
    font.setStyleHint(QFont::Monospace);
    if (pointSize > 0) font.setPointSize(pointSize);
    return font;
}

void EditorLook::PageColours(QWidget* page) { TextColour(page, kNavy); }

void EditorLook::KeyOff(QWidget* field) {
    QPalette p = field->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        p.setColor(role, kYellow);
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(role, kNavy);
    field->setPalette(p);
    field->setAutoFillBackground(true);
}

void EditorLook::Background(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void EditorLook::TextColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    widget->setPalette(p);
}
