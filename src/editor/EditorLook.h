#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The editor's colour scheme and faces, fixed at creation.
class EditorLook {
  public:
    static const QColor kNavy;
    static const QColor kRed;
    static const QColor kGreen;
    static const QColor kBlue;
    static const QColor kYellow;
    static QColor InfoBackground();
    static QColor ButtonText();

    // "Modern", the face of the tabs and of the status bar.
    static QFont Modern(int pointSize = 0);
    // Font colour of a tab page (inherited by the controls that use their parent's palette);
    // the face comes from the tab control.
    static void PageColours(QWidget* page);
    // A field to change only with the ignition key off: yellow, navy text.
    static void KeyOff(QWidget* field);
    static void Background(QWidget* widget, const QColor& colour);
    static void TextColour(QWidget* widget, const QColor& colour);
};
