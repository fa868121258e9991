#include "TQorConnectEcu.h"

#include "LibraryPath.h"

TQorConnectEcu::TQorConnectEcu(bool autoLoad, const QString& dllName)
    : dllName_(dllName), autoLoad_(autoLoad) {
    if (autoLoad_) LoadDll();
}

TQorConnectEcu::~TQorConnectEcu() { UnloadDll(); }

bool TQorConnectEcu::SetDllName(const QString& name) {
    if (IsLoaded()) return false;
    dllName_ = name;
    return true;
}

bool TQorConnectEcu::LoadDll() {
    QMutexLocker lock(&mutex_);
    if (IsLoaded()) return true;
    library_.setFileName(LibraryPath::resolve(dllName_));
    if (!library_.load()) {
        loadError_ = library_.errorString();
        return false;
    }
    auto create = reinterpret_cast<CreateClassInstanceFn>(library_.resolve("_CreateClassInstance"));
    auto destroy =
        reinterpret_cast<DestroyClassInstanceFn>(library_.resolve("_DestroyClassInstance"));
    IEcuLink* link = (create && destroy) ? create() : nullptr;
    if (!link) {
        loadError_ = create && destroy ? QStringLiteral("the library created no link")
                                       : QStringLiteral("the library lacks its exports");
        library_.unload();
        return false;
    }
    version_ = reinterpret_cast<GetDllVersionFn>(library_.resolve("_GetDLLVersion"));
    setLost_ = reinterpret_cast<SetLinkLostHandlerFn>(library_.resolve("_SetLinkLostHandler"));
    if (setLost_) setLost_(link, &TQorConnectEcu::linkLost, this);
    exports_.replyCounts =
        reinterpret_cast<GetReplyCountsFn>(library_.resolve("_GetReplyCounts"));
    exports_.portDenied = reinterpret_cast<IsPortDeniedFn>(library_.resolve("_IsPortDenied"));
    link_ = link;
    destroy_ = destroy;
    loadError_.clear();
    configure();
    return true;
}

void TQorConnectEcu::UseLink(IEcuLink* link, Destroy destroy) {
    UseLink(link, std::move(destroy), OptionalExports());
}

void TQorConnectEcu::UseLink(IEcuLink* link, Destroy destroy, OptionalExports exports) {
    QMutexLocker lock(&mutex_);
    UnloadDll();
    link_ = link;
    destroy_ = std::move(destroy);
    exports_ = exports;
    if (link_) configure();
}

std::optional<TQorConnectEcu::ReplyCounts> TQorConnectEcu::GetReplyCounts() {
    QMutexLocker lock(&mutex_);
    if (!link_ || !exports_.replyCounts) return std::nullopt;
    ReplyCounts counts;
    exports_.replyCounts(link_, &counts.requests, &counts.askedAgain);
    return counts;
}

bool TQorConnectEcu::PortDenied() {
    QMutexLocker lock(&mutex_);
    return link_ && exports_.portDenied && exports_.portDenied(link_) != 0;
}

void TQorConnectEcu::configure() { SetUp(*link_); }

void TQorConnectEcu::linkLost(void* self) {
    auto* component = static_cast<TQorConnectEcu*>(self);
    if (component->lost_) component->lost_();
}

void TQorConnectEcu::SetUp(IEcuLink& link) {
    // Reply time-outs and retries of the link; their meaning is the library's (see its
    // protocol reference).
    link.ConfigureLink1(0);
    link.ConfigureLink2(5);
    link.ConfigureLink3(600);
    link.ConfigureLink4(30, 600);
}

void TQorConnectEcu::UnloadDll() {
    QMutexLocker lock(&mutex_);
    if (link_) {
        if (link_->IsConnected())
            link_->Disconnect();
        else
            link_->ClosePort();
        if (setLost_) setLost_(link_, nullptr, nullptr);
        if (destroy_) destroy_(link_);
        link_ = nullptr;
        destroy_ = nullptr;
    }
    version_ = nullptr;
    setLost_ = nullptr;
    exports_ = {};
    if (library_.isLoaded()) library_.unload();
}

bool TQorConnectEcu::GetDllVersion(EcuLinkVersion* version) {
    QMutexLocker lock(&mutex_);
    if (!link_ || !version_ || !version) return false;
    version_(version);
    return true;
}
