#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <cstdint>
#include <optional>

// The base-configuration library: scrambled base configurations as numbered resources, and
// the choice of which one fits a fuel, injector type and customer. The program does not
// start without it.
class ConfigBaseLibrary {
  public:
    static constexpr const char* kDefaultName = "ConfigBase.dll";

    // Exports. _GetResource is our form of the library's resources of type "#256": it hands
    // out the bytes of resource number N, 1 when found.
    using GetResourceIdFn = int32_t (*)(int32_t, int32_t, int32_t, int32_t);
    using GetCalibratingIdFn = int32_t (*)(int32_t, int32_t, int32_t, int32_t);
    using GetResourceFn = int32_t (*)(int32_t number, const uint8_t** data, int32_t* size);

    // Resources larger than this are not taken from a library.
    static constexpr int32_t kMaxResourceSize = 1 << 20;

    ConfigBaseLibrary() = default;
    ~ConfigBaseLibrary() { Unload(); }
    ConfigBaseLibrary(const ConfigBaseLibrary&) = delete;
    ConfigBaseLibrary& operator=(const ConfigBaseLibrary&) = delete;

    // False when the library or one of _GetResourceId, _GetCalibratingId is missing; the
    // library is then not kept.
    bool Load(const QString& name = kDefaultName);
    void Unload();
    bool IsLoaded() const { return getResourceId_ != nullptr; }
    QString LoadError() const { return loadError_; }

    // (fuel: 0 LPG, 1 CNG; 0; injector type; customer code) -> resource number.
    int32_t GetResourceId(int32_t fuel, int32_t zero, int32_t injectorType, int32_t customer) const;
    int32_t GetCalibratingId(int32_t a, int32_t b, int32_t c, int32_t d) const;
    // The bytes of resource number; nothing when it does not exist or is out of bounds.
    std::optional<QByteArray> Resource(int32_t number) const;

    // The library loaded at start, reached by the data module; nullptr before and after.
    static ConfigBaseLibrary* Current();
    static void SetCurrent(ConfigBaseLibrary* library);

  private:
    QLibrary library_;
    GetResourceIdFn getResourceId_ = nullptr;
    GetCalibratingIdFn getCalibratingId_ = nullptr;
    GetResourceFn getResource_ = nullptr;
    QString loadError_;
};
