#pragma once

#include <QString>
#include <initializer_list>

class QAbstractButton;
class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QWidget;

// Puts the texts of the current language on the editor's controls. Each text has a buffer of
// fixed size, its terminator included, so a longer translation is cut to one character less.
// A caption without a text keeps what it shows; a list gets an empty entry in its place, so
// that lists always have all their entries.
class CaptionLoader {
  public:
    // Buffer sizes.
    static constexpr int kTabCaption = 20;  // "Cambio", "Modifica carb."
    static constexpr int kShortTab = 25;    // "Lambda", "Livello gas"
    static constexpr int kStatus = 15;      // status bar captions, "&Accetta"
    static constexpr int kStatusWide = 16;  // "Tinj.benz"
    static constexpr int kLevel = 30;       // level reference captions
    static constexpr int kField = 40;       // field captions
    static constexpr int kLong = 255;       // lists, units, menus, note, messages

    static void Set(QLabel* label, int number, int buffer);
    static void Set(QAbstractButton* button, int number, int buffer);
    static void Set(QAction* action, int number, int buffer = kLong);
    static void Set(QMenu* menu, int number, int buffer = kLong);
    // Replaces the entries, keeping the selected position.
    static void Fill(QComboBox* list, std::initializer_list<int> numbers, int buffer = kLong);
    // Text number, or the design text when the table has none.
    static QString Text(int number, const QString& design, int buffer = kLong);
};
