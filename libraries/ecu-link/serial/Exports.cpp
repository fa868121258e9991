// The exports of libSerQorDL: the ECU link over the serial port.
#include <QtGlobal>
#include <cstring>
#include <memory>

#include "EcuLink.h"
#include "SerialTransport.h"
#include "SteadyLinkClock.h"

extern "C" {

Q_DECL_EXPORT IEcuLink* _CreateClassInstance() {
    auto* link = new ecu::EcuLink(std::make_unique<SerialTransport>(),
                                  std::make_unique<ecu::SteadyLinkClock>());
    // Slow or heavily loaded machines (continuous integration) may stretch every time-out.
    bool ok = false;
    const double scale = qEnvironmentVariable("ECU_LINK_TIMEOUT_SCALE").toDouble(&ok);
    if (ok) link->timing().scale = scale;
    return link;
}

Q_DECL_EXPORT void _DestroyClassInstance(IEcuLink* link) {
    delete static_cast<ecu::EcuLink*>(link);
}

Q_DECL_EXPORT void _GetDLLVersion(EcuLinkVersion* version) {
    if (version) *version = EcuLinkVersion{1, 0, 0, 1};
}

// Registers the function called when the link loses its connection without the client asking
// (a port error: the adapter pulled; a lost ECU), with context as its argument; nullptr
// removes it. It is called on the thread that notices, possibly inside one of the link's own
// calls: it should only take note and return.
Q_DECL_EXPORT void _SetLinkLostHandler(IEcuLink* link, LinkLostFn handler, void* context) {
    if (link) static_cast<ecu::EcuLink*>(link)->setLostHandler(handler, context);
}

// Replies asked for again (garbled or lost on the way) and requests sent, counted since the link
// was created; the client compares two readings.
Q_DECL_EXPORT void _GetReplyCounts(IEcuLink* link, uint32_t* requests, uint32_t* askedAgain) {
    const auto* ecuLink = static_cast<ecu::EcuLink*>(link);
    if (requests) *requests = ecuLink ? ecuLink->requestsSent() : 0;
    if (askedAgain) *askedAgain = ecuLink ? ecuLink->repliesAskedAgain() : 0;
}

// 1 when the last OpenLink or Connect found no ECU and a port refused this user (the device's
// permissions), else 0.
Q_DECL_EXPORT int32_t _IsPortDenied(IEcuLink* link) {
    return link && static_cast<ecu::EcuLink*>(link)->portDenied() ? 1 : 0;
}

// Why the last OpenLink or Connect found no ECU (empty when it did), cut to size - 1
// characters; returns the full length.
Q_DECL_EXPORT int32_t _GetLastLinkError(IEcuLink* link, char* text, int32_t size) {
    if (link == nullptr) return 0;
    const std::string& error = static_cast<ecu::EcuLink*>(link)->lastError();
    if (text && size > 0) {
        const size_t n = std::min<size_t>(error.size(), static_cast<size_t>(size - 1));
        std::memcpy(text, error.data(), n);
        text[n] = '\0';
    }
    return static_cast<int32_t>(error.size());
}
}
