#pragma once

#include <QLibrary>
#include <QString>
#include <cstdint>
#include <optional>

// The optional library of further languages: L blocks of S strings each, string n of
// language c at id c x S + n. Without it (or without an export) L and S are 1.
class LanguageLibrary {
  public:
    static constexpr const char* kDefaultName = "Languages.dll";
    static constexpr int32_t kMaxTextBytes = 4096;

    using MaxLanguagesFn = void (*)(int8_t* count);
    using MaxStringsFn = void (*)(int32_t* count);
    // Copies string id as UTF-8 with a final NUL into buffer; the length, 0 when absent.
    using GetStringFn = int32_t (*)(int32_t id, char* buffer, int32_t size);

    LanguageLibrary() = default;
    ~LanguageLibrary() { Unload(); }
    LanguageLibrary(const LanguageLibrary&) = delete;
    LanguageLibrary& operator=(const LanguageLibrary&) = delete;

    // False when the library is missing; the program then has its own language only.
    bool Load(const QString& name = kDefaultName);
    void Unload();
    bool IsLoaded() const { return library_.isLoaded(); }

    int Languages() const { return languages_; }
    int32_t Stride() const { return stride_; }
    // The string of resource id; nothing when the library has none.
    std::optional<QString> Text(int32_t id) const;

  private:
    QLibrary library_;
    GetStringFn getString_ = nullptr;
    int languages_ = 1;
    int32_t stride_ = 1;
};
