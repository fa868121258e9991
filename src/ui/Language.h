#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class LanguageLibrary;

// The language the program speaks: the optional language library (L blocks of S strings),
// the current block c, and the character set and code page of that block. String n of the
// current language is resource c x S + n of the library, or text n of the program's own
// Italian table when there is no library (L = S = 1) or the library lacks it.
class Language {
  public:
    static constexpr int kDefaultMaximum = 254;
    static constexpr int kNameNumber = 0;
    static constexpr int kCharSetNumber = 1;
    static constexpr int kCodePageNumber = 2;
    static constexpr int kMenuCaptionNumber = 3;
    static constexpr int kQtLocaleNumber = 697;  // the locale of Qt's own texts ("it", "en")

    // The program's one language state.
    static Language& current();

    // The library stays owned by the caller and must outlive the attachment; nullptr
    // detaches (one language, the program's own table). The index goes back to 0.
    void Attach(const LanguageLibrary* library);

    int Count() const { return count_; }
    int32_t Stride() const { return stride_; }
    int Index() const { return index_; }
    // Makes block index current (anything negative or not below Count() becomes 0) and reads
    // its character set and code page.
    void SetIndex(int index);
    int CharSet() const { return charSet_; }
    int CodePage() const { return codePage_; }
    // Code page = number of string 2, character set = number of string 1; a missing or
    // non-numeric string counts as 0.
    void ReadCharSet();

    int32_t ResourceId(int number) const { return index_ * stride_ + number; }
    // String number of the current language, cut to at most maximum characters; nothing when
    // no table has it (the caller then keeps its design text).
    std::optional<QString> Text(int number, int maximum = kDefaultMaximum) const;
    // The menu name of block index (string index x S + 0), whatever the current block.
    std::optional<QString> Name(int index) const;

  private:
    std::optional<QString> resource(int32_t id, int number) const;
    int number(int stringNumber) const;

    const LanguageLibrary* library_ = nullptr;
    int count_ = 1;
    int32_t stride_ = 1;
    int index_ = 0;
    int charSet_ = 0;
    int codePage_ = 0;
};

// Text n of the current language, at most maximum characters.
std::optional<QString> LoadText(int number, int maximum = Language::kDefaultMaximum);
// The same, or fallback when no table has it.
QString LoadTextOr(int number, const QString& fallback, int maximum = Language::kDefaultMaximum);
