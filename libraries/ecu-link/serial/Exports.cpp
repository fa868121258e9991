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
