#include "ParameterStore.h"

#include "OptionBits.h"

namespace {
QString textOf(const std::vector<int32_t>& values, int first, int length) {
    QString text;
    for (int i = first; i < first + length; ++i) {
        const int32_t c = values.at(static_cast<size_t>(i)) & 0xFF;
        if (c == 0) break;
        text += QChar::fromLatin1(static_cast<char>(c));
    }
    return text;
}
}  // namespace

ParameterStore::ParameterStore() {
    for (const CatalogueRow& row : Catalogue::rows())
        rows_.emplace_back(static_cast<size_t>(row.elements), 0);
    set(Catalogue::kKMapSize, 0, Catalogue::kDefaultKRows);
    set(Catalogue::kKMapSize, 1, Catalogue::kDefaultKColumns);
    set(Catalogue::kBaseTempi, 0, Catalogue::kDefaultBaseTempi);
}

int ParameterStore::option(int n) const {
    const auto bit = OptionBits::Of(n);
    if (!bit) return 0;
    return (value(Catalogue::kFlags, bit->word) & bit->mask) ? 1 : 0;
}

QString ParameterStore::description() const {
    return textOf(values(Catalogue::kHeader), kDescriptionFirst, kMaxDescription);
}

QString ParameterStore::serialNumber() const {
    return textOf(values(Catalogue::kSerialNumber), 0, kMaxSerialNumber);
}

int32_t ParameterStore::LatinCode(const QString& text, int i) {
    if (i >= text.size()) return 0;
    const char16_t c = text.at(i).unicode();
    return c != 0 && c < 256 ? c : '?';
}
