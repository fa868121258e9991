#pragma once

#include <QString>
#include <cstdint>

#include "IEcuLink.h"

class ParameterStore;
class StoreListener;
class TQorConnectEcu;

// The data module's conversation with the ECU outside a transfer: the connection, the ECU's
// status and readiness, its identity and serial number, and the official flag of the
// configuration held in the store. Every wait goes through the clock service.
class EcuSession {
  public:
    static constexpr int kFirstConnectWaitMs = 1000;
    static constexpr int kRetryMs = 500;
    static constexpr int kReadyTimeoutMs = 20000;
    static constexpr int kSerialLength = 20;
    static constexpr const char* kNoSerialNumber = "SerialNumberNotInEcu";

    EcuSession(TQorConnectEcu& connect, ParameterStore& store) : connect_(connect), store_(store) {}

    IEcuLink& link();

    bool IsConnected();
    bool OpenLink();
    bool Connect();
    void Disconnect();
    // Disconnect, wait, Connect retried every 500 ms up to timeoutMs (in polling mode), then
    // WaitReady (kReadyTimeoutMs).
    bool Reconnect(int timeoutMs);
    // Reads the readiness variable every 500 ms until it reads ready or the time runs out.
    bool WaitReady(int timeoutMs);

    // A command of the ECU's own procedures (the calibration's 18 to 21): the bytes go with it
    // and the ECU's reply comes back in them; status is the command's mode.
    bool SendCommand(int32_t command, uint8_t* bytes, int32_t status, int32_t length);

    // The status variable; 0 when it cannot be read.
    int32_t ReadStatus();
    // old: the status as read before.
    bool WriteStatus(int32_t old, int32_t status);

    // The four identity bytes into the store.
    bool ReadIdentity();
    bool WriteCustomerCode(int code);
    // The ECU's serial number over kNoSerialNumber: the bytes read replace its characters, up
    // to the first zero; kNoSerialNumber itself when the read fails (read, if given, false).
    QString ReadSerialNumber(bool* read = nullptr);

    // The setters' writes: each goes to the ECU and is announced to the listener with the
    // value the store held (old) and the outcome. The caller stores the value on success.
    void SetListener(StoreListener* listener) { listener_ = listener; }
    StoreListener* Listener() const { return listener_; }
    bool WriteValue(uint32_t id, int32_t old, int32_t raw);
    bool WriteElement(uint32_t id, int element, int32_t old, int32_t raw);
    // One cell of a table; element is the cell's place in the store's row.
    bool WriteElement2(uint32_t id, int line, int column, int element, int32_t old, int32_t raw);
    // A whole variable of count elements; the elements it changes are announced.
    bool WriteVariable(uint32_t id, const int32_t* old, const int32_t* values, int count);

    // The official flag: written to the ECU's header, stored only on success.
    bool SetOfficial(bool on);
    void ClearOfficial();

  private:
    bool announce(uint32_t id, int element, int32_t old, int32_t raw, bool ok);

    TQorConnectEcu& connect_;
    ParameterStore& store_;
    StoreListener* listener_ = nullptr;
};
