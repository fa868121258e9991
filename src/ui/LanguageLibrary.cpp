#include "LanguageLibrary.h"

#include <QByteArray>

#include "LibraryPath.h"

bool LanguageLibrary::Load(const QString& name) {
    Unload();
    library_.setFileName(LibraryPath::resolve(name));
    if (!library_.load()) return false;
    if (auto maxLanguages = reinterpret_cast<MaxLanguagesFn>(library_.resolve("_MaxLanguages"))) {
        int8_t count = 1;
        maxLanguages(&count);
        languages_ = count > 0 ? count : 1;
    }
    if (auto maxStrings = reinterpret_cast<MaxStringsFn>(library_.resolve("_MaxStrings"))) {
        int32_t count = 1;
        maxStrings(&count);
        stride_ = count > 0 ? count : 1;
    }
    getString_ = reinterpret_cast<GetStringFn>(library_.resolve("_GetString"));
    return true;
}

void LanguageLibrary::Unload() {
    getString_ = nullptr;
    languages_ = 1;
    stride_ = 1;
    if (library_.isLoaded()) library_.unload();
}

std::optional<QString> LanguageLibrary::Text(int32_t id) const {
    if (!getString_ || id < 0) return std::nullopt;
    QByteArray buffer(kMaxTextBytes, '\0');
    const int32_t length = getString_(id, buffer.data(), buffer.size());
    if (length <= 0) return std::nullopt;
    // The library's answer is bounded by the buffer, whatever length it claims.
    buffer.truncate(qMin(length, kMaxTextBytes - 1));
    const qsizetype end = buffer.indexOf('\0');
    if (end >= 0) buffer.truncate(end);
    return QString::fromUtf8(buffer);
}
