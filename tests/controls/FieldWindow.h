#pragma once

#include <QLineEdit>
#include <QLocale>
#include <QWidget>
#include <ostream>

#include "TKeyComboBox.h"
#include "TNumericEdit.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// A small shown and active window with three chained numeric fields a -> b -> c -> list and a
// plain line edit outside the chain to click on. The locale is pinned to one with a point.
class FieldWindow {
  public:
    FieldWindow();
    ~FieldWindow();

    // Focus through the window's own machinery; true when the widget really has it.
    bool Focus(QWidget* widget);
    // Where the keyboard goes now: the open list, else the focused field.
    static QWidget* KeyTarget();
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void Type(const QString& characters);
    // Focuses the field, replaces its text as the user would (select all, type) and leaves it
    // focused, so that the next key goes to it.
    void Retype(TNumericEdit* field, const QString& characters);

    QWidget window;
    TNumericEdit* a;
    TNumericEdit* b;
    TNumericEdit* c;
    TKeyComboBox* list;
    QLineEdit* elsewhere;

  private:
    QLocale previousLocale_;
};
