#include "EcuSession.h"

#include <QByteArray>
#include <algorithm>

#include "Clock.h"
#include "EcuVariable.h"
#include "ParameterStore.h"
#include "StoreListener.h"
#include "TQorConnectEcu.h"

namespace {
// After the link lost the ECU, the readiness wait tries Connect this long, this often.
constexpr int kRelinkMs = 800;
constexpr int kRelinkRetryMs = 200;

// Connect again after the link lost the ECU, until kRelinkMs or the deadline pass. In polling
// mode a handshake tries only the last port, twice: quick on a dead line. Polling mode is
// left on return, as Reconnect leaves it.
bool relink(IEcuLink& ecu, qint64 deadlineMs) {
    Clock& clock = Clock::current();
    const qint64 until = std::min(deadlineMs, clock.nowMs() + kRelinkMs);
    ecu.EnterPollingMode();
    bool connected = ecu.Connect() != 0;
    while (!connected && clock.nowMs() + kRelinkRetryMs < until) {
        clock.waitMs(kRelinkRetryMs);
        connected = ecu.Connect() != 0;
    }
    ecu.LeavePollingMode();
    return connected;
}
}  // namespace

IEcuLink& EcuSession::link() { return connect_.link(); }

bool EcuSession::IsConnected() { return link().IsConnected() != 0; }
bool EcuSession::OpenLink() { return link().OpenLink() != 0; }
bool EcuSession::Connect() { return link().Connect() != 0; }
void EcuSession::Disconnect() { link().Disconnect(); }

bool EcuSession::Reconnect(int timeoutMs) {
    IEcuLink& ecu = link();
    Clock& clock = Clock::current();
    ecu.Disconnect();
    clock.waitMs(kFirstConnectWaitMs);
    ecu.EnterPollingMode();
    const qint64 start = clock.nowMs();
    bool connected = ecu.Connect() != 0;
    while (!connected && clock.nowMs() - start < timeoutMs) {
        clock.waitMs(kRetryMs);
        connected = ecu.Connect() != 0;
    }
    ecu.LeavePollingMode();
    return ecu.IsConnected() != 0 && WaitReady(kReadyTimeoutMs);
}

bool EcuSession::WaitReady(int timeoutMs) {
    Clock& clock = Clock::current();
    const qint64 start = clock.nowMs();
    for (;;) {
        int32_t buffer[256] = {};
        if (link().ReadVariable(EcuVariable::kReadiness, buffer) &&
            buffer[0] == EcuVariable::kReady)
            return true;
        if (clock.nowMs() - start >= timeoutMs) return false;
        // A lost ECU answers no read: only a new handshake can bring it back, tried for a
        // short while so that a dead line fails the wait soon.
        if (link().IsConnected() == 0) {
            if (!relink(link(), start + timeoutMs)) return false;
            continue;
        }
        clock.waitMs(kRetryMs);
    }
}

bool EcuSession::SendCommand(int32_t command, uint8_t* bytes, int32_t status, int32_t length) {
    return link().SendCommand(command, bytes, &status, length) != 0;
}

int32_t EcuSession::ReadStatus() {
    int32_t buffer[256] = {};
    link().ReadVariable(EcuVariable::kStatus, buffer);
    return buffer[0];
}

bool EcuSession::WriteStatus(int32_t old, int32_t status) {
    return WriteValue(EcuVariable::kStatus, old, status);
}

bool EcuSession::announce(uint32_t id, int element, int32_t old, int32_t raw, bool ok) {
    if (listener_) listener_->ValueWritten({id, element, old, raw, ok});
    return ok;
}

bool EcuSession::WriteValue(uint32_t id, int32_t old, int32_t raw) {
    return announce(id, 0, old, raw, link().WriteValue(id, raw) != 0);
}

bool EcuSession::WriteElement(uint32_t id, int element, int32_t old, int32_t raw) {
    return announce(id, element, old, raw, link().WriteElement(id, element, raw) != 0);
}

bool EcuSession::WriteElement2(uint32_t id, int line, int column, int element, int32_t old,
                               int32_t raw) {
    return announce(id, element, old, raw, link().WriteElement2(id, line, column, raw) != 0);
}

bool EcuSession::WriteVariable(uint32_t id, const int32_t* old, const int32_t* values, int count) {
    const bool ok = link().WriteVariable(id, values) != 0;
    // The elements it changes; element 0 alone when it changes none.
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (old[i] == values[i]) continue;
        announce(id, i, old[i], values[i], ok);
        any = true;
    }
    if (!any && count > 0) announce(id, 0, old[0], values[0], ok);
    return ok;
}

bool EcuSession::ReadIdentity() {
    uint8_t bytes[4] = {};
    if (!link().ReadIdentity(bytes)) return false;
    std::copy(bytes, bytes + 4, store_.identity().begin());
    return true;
}

bool EcuSession::WriteCustomerCode(int code) {
    if (!WriteValue(EcuVariable::kCustomer, store_.identity()[0], code)) return false;
    store_.identity()[0] = static_cast<uint8_t>(code);
    return true;
}

QString EcuSession::ReadSerialNumber(bool* read) {
    QByteArray serial(kNoSerialNumber);
    int32_t buffer[kSerialLength] = {};
    const bool ok = link().ReadVariable(EcuVariable::kSerialNumber, buffer) != 0;
    if (read) *read = ok;
    if (ok) {
        for (int i = 0; i < kSerialLength; ++i) serial[i] = static_cast<char>(buffer[i] & 0xFF);
        const qsizetype end = serial.indexOf('\0');
        if (end >= 0) serial.truncate(end);
    }
    return QString::fromLatin1(serial);
}

bool EcuSession::SetOfficial(bool on) {
    const int32_t old = store_.value(Catalogue::kHeader, 0);
    const int32_t flags =
        on ? (old | ParameterStore::kOfficialBit) : (old & ~ParameterStore::kOfficialBit);
    if (!WriteElement(EcuVariable::kHeader, 0, old, flags)) return false;
    store_.set(Catalogue::kHeader, 0, flags);
    return true;
}

void EcuSession::ClearOfficial() {
    if (store_.official()) SetOfficial(false);
}
