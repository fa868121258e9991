#pragma once

#include <QLibrary>
#include <QRecursiveMutex>
#include <QString>
#include <functional>
#include <optional>

#include "IEcuLink.h"
#include "NullEcuLink.h"

// Loads the ECU link library and holds the link object it creates. Every part of the
// program reaches the ECU through link(); when the library or one of its exports is
// missing, link() is an empty link that is never connected and fails every operation.
class TQorConnectEcu {
  public:
    using Destroy = std::function<void(IEcuLink*)>;
    // The library's optional exports beyond the link-lost handler; an older library lacks them.
    struct OptionalExports {
        GetReplyCountsFn replyCounts = nullptr;
        IsPortDeniedFn portDenied = nullptr;
    };
    struct ReplyCounts {
        uint32_t requests = 0;
        uint32_t askedAgain = 0;
    };

    static constexpr const char* kDefaultDllName = "SerQorDL.dll";

    // autoLoad: load the library at once (AutoLoadLibrary).
    explicit TQorConnectEcu(bool autoLoad = true, const QString& dllName = kDefaultDllName);
    ~TQorConnectEcu();
    TQorConnectEcu(const TQorConnectEcu&) = delete;
    TQorConnectEcu& operator=(const TQorConnectEcu&) = delete;

    QString DllName() const { return dllName_; }
    // Refused (false) while a library is loaded.
    bool SetDllName(const QString& name);
    bool AutoLoadLibrary() const { return autoLoad_; }

    // Loads DllName, creates the link and makes its set-up calls. True when loaded.
    bool LoadDll();
    // Ends the connection (or closes the port), destroys the link, frees the library.
    void UnloadDll();
    bool IsLoaded() const { return link_ != nullptr; }
    // False without a library or without the optional version export.
    bool GetDllVersion(EcuLinkVersion* version);
    // Why the last LoadDll failed, for support; empty after a success.
    QString LoadError() const { return loadError_; }

    // Uses a link object made in-process (tests, tools) instead of a library's; makes the
    // same set-up calls. The link is destroyed with destroy on unload.
    void UseLink(IEcuLink* link, Destroy destroy);
    void UseLink(IEcuLink* link, Destroy destroy, OptionalExports exports);

    // The link's requests and the replies it had to ask for again so far; nothing when the
    // library does not count them.
    std::optional<ReplyCounts> GetReplyCounts();
    // The last OpenLink or Connect was refused a port for want of permission; false when the
    // library does not say.
    bool PortDenied();

    IEcuLink& link() { return link_ ? *link_ : empty_; }

    // Called when the library's link loses its connection without being asked (the adapter
    // pulled, the ECU lost), on the thread that notices it and maybe inside a link call: the
    // handler only takes note (queues). Libraries without the optional export never call it.
    void SetLinkLostHandler(std::function<void()> handler) { lost_ = std::move(handler); }

    // The set-up calls made on every link the component takes (time-outs and retries).
    static void SetUp(IEcuLink& link);

  private:
    void configure();
    static void linkLost(void* self);

    QString dllName_;
    bool autoLoad_;
    QLibrary library_;
    IEcuLink* link_ = nullptr;
    Destroy destroy_;
    GetDllVersionFn version_ = nullptr;
    SetLinkLostHandlerFn setLost_ = nullptr;
    OptionalExports exports_;
    std::function<void()> lost_;
    NullEcuLink empty_;
    QString loadError_;
    QRecursiveMutex mutex_;
};
