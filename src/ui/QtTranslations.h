#pragma once

#include <QString>

// Qt's own texts (the buttons of question boxes, the labels of file dialogs) in the program's
// language, from the translations Qt installs (Debian's qt6-translations-l10n). English needs
// none: Qt's texts are English.
class QtTranslations {
  public:
    // Makes locale ("it", "en", ...) the language of Qt's texts; false, and Qt's English,
    // when no translation of Qt's is found for it.
    static bool Use(const QString& locale);
    // The locale of the current language (its string 697; Italian where a table lacks it).
    static QString CurrentLocale();
    // Where Qt's translation files are looked for.
    static QString Folder();
};
