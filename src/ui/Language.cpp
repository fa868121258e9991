#include "Language.h"

#include "LanguageLibrary.h"
#include "StringTable.h"

Language& Language::current() {
    static Language language;
    return language;
}

void Language::Attach(const LanguageLibrary* library) {
    library_ = library && library->IsLoaded() ? library : nullptr;
    count_ = library_ ? std::max(library_->Languages(), 1) : 1;
    stride_ = library_ ? std::max<int32_t>(library_->Stride(), 1) : 1;
    SetIndex(0);
}

void Language::SetIndex(int index) {
    index_ = index >= 0 && index < count_ ? index : 0;
    ReadCharSet();
}

void Language::ReadCharSet() {
    codePage_ = number(kCodePageNumber);
    charSet_ = number(kCharSetNumber);
}

int Language::number(int stringNumber) const {
    bool ok = false;
    const int value = Text(stringNumber).value_or(QString()).trimmed().toInt(&ok);
    return ok ? value : 0;
}

std::optional<QString> Language::resource(int32_t id, int number) const {
    // A number not below the stride would land in the next language's block.
    if (library_ && number < stride_) {
        if (auto text = library_->Text(id)) return text;
    }
    return StringTable::Builtin().Text(number);
}

std::optional<QString> Language::Text(int number, int maximum) const {
    if (number < 0) return std::nullopt;
    auto text = resource(ResourceId(number), number);
    if (text && maximum >= 0 && text->size() > maximum) text->truncate(maximum);
    return text;
}

std::optional<QString> Language::Name(int index) const {
    if (index < 0 || index >= count_) return std::nullopt;
    if (!library_) return StringTable::Builtin().Text(kNameNumber);
    return library_->Text(index * stride_ + kNameNumber);
}

std::optional<QString> LoadText(int number, int maximum) {
    return Language::current().Text(number, maximum);
}

QString LoadTextOr(int number, const QString& fallback, int maximum) {
    return LoadText(number, maximum).value_or(fallback);
}
