#include "ConfigBaseLibrary.h"

#include "LibraryPath.h"

namespace {
ConfigBaseLibrary* current = nullptr;
}

ConfigBaseLibrary* ConfigBaseLibrary::Current() { return current; }
void ConfigBaseLibrary::SetCurrent(ConfigBaseLibrary* library) { current = library; }

bool ConfigBaseLibrary::Load(const QString& name) {
    Unload();
    library_.setFileName(LibraryPath::resolve(name));
    if (!library_.load()) {
        loadError_ = library_.errorString();
        return false;
    }
    auto getId = reinterpret_cast<GetResourceIdFn>(library_.resolve("_GetResourceId"));
    auto getCalibrating =
        reinterpret_cast<GetCalibratingIdFn>(library_.resolve("_GetCalibratingId"));
    if (!getId || !getCalibrating) {
        loadError_ = QStringLiteral("%1 lacks _GetResourceId or _GetCalibratingId").arg(name);
        library_.unload();
        return false;
    }
    getResourceId_ = getId;
    getCalibratingId_ = getCalibrating;
    getResource_ = reinterpret_cast<GetResourceFn>(library_.resolve("_GetResource"));
    loadError_.clear();
    return true;
}

void ConfigBaseLibrary::Unload() {
    if (current == this) current = nullptr;
    getResourceId_ = nullptr;
    getCalibratingId_ = nullptr;
    getResource_ = nullptr;
    if (library_.isLoaded()) library_.unload();
}

int32_t ConfigBaseLibrary::GetResourceId(int32_t fuel, int32_t zero, int32_t injectorType,
                                         int32_t customer) const {
    return getResourceId_ ? getResourceId_(fuel, zero, injectorType, customer) : 0;
}

int32_t ConfigBaseLibrary::GetCalibratingId(int32_t a, int32_t b, int32_t c, int32_t d) const {
    return getCalibratingId_ ? getCalibratingId_(a, b, c, d) : 0;
}

std::optional<QByteArray> ConfigBaseLibrary::Resource(int32_t number) const {
    if (!getResource_) return std::nullopt;
    const uint8_t* data = nullptr;
    int32_t size = 0;
    if (!getResource_(number, &data, &size)) return std::nullopt;
    if (!data || size < 0 || size > kMaxResourceSize) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(data), size);
}
