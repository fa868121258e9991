#pragma once

#include <cstdint>

// The ECU link object created by the ECU link library (libSerQorDL). The program and the
// library are built separately, so this class is their binary contract: its methods keep
// the order of the library's interface table and its types carry the stated widths.
//
// Variable ids: bits 0-7 the variable number, bit 8 an array (element count in bits 12-19),
// bit 9 16-bit elements (else 8-bit), bit 10 signed elements. Bit-field codes of variable 26
// carry a shift in bits 20-23 and a width in bits 24-27. Buffers hold one 32-bit integer per
// element. 8-bit results: nonzero means success.
class IEcuLink {
  public:
    virtual void ConfigureLink1(int32_t value) = 0;
    virtual void ConfigureLink2(int32_t value) = 0;
    virtual void ConfigureLink3(int32_t value) = 0;
    virtual void ClosePort() = 0;
    virtual int32_t IsConnected() = 0;
    virtual int32_t Connect() = 0;
    virtual void Disconnect() = 0;
    virtual void EndProgramming() = 0;
    virtual void BeginProgramming() = 0;
    virtual void EnterPollingMode() = 0;
    virtual void LeavePollingMode() = 0;
    virtual uint8_t ReadVariable(uint32_t id, int32_t* buffer) = 0;
    virtual uint8_t ReadRow(uint32_t id, int32_t* rowBuffer, int32_t row) = 0;
    // length: the buffer's size in, the number of bytes delivered out.
    virtual uint8_t ReadBlock(int32_t block, uint8_t* bytes, int32_t* length) = 0;
    virtual uint8_t WriteVariable(uint32_t id, const int32_t* buffer) = 0;
    virtual uint8_t WriteValue(uint32_t id, int32_t value) = 0;
    virtual uint8_t WriteElement(uint32_t id, int32_t index, int32_t value) = 0;
    virtual uint8_t WriteElement2(uint32_t id, int32_t row, int32_t column, int32_t value) = 0;
    virtual uint8_t WriteRow(uint32_t id, const int32_t* rowBuffer, int32_t row) = 0;
    // bytes: length bytes sent with the command; the ECU's reply comes back in the same
    // buffer (at most length bytes). status: the command's mode in, the ECU's status out.
    virtual uint8_t SendCommand(int32_t command, uint8_t* bytes, int32_t* status,
                                int32_t length) = 0;
    virtual uint8_t ReadIdentity(uint8_t* bytes4) = 0;
    virtual uint8_t OpenLink() = 0;
    // 0 = success; the three integers are the programming mode arguments (2, 0, 1).
    virtual int32_t ProgramFromFile(const char* fileName, int32_t mode, int32_t option,
                                    int32_t verify) = 0;
    // image: a 32-bit little-endian length followed by that many bytes.
    virtual int32_t ProgramFromBuffer(const uint8_t* image, int32_t mode, int32_t option,
                                      int32_t verify) = 0;
    // bytes: at least 4; byte 0 receives the boot customer code.
    virtual uint8_t ReadBootCustomer(uint8_t* bytes) = 0;
    virtual void ConfigureLink4(int32_t first, int32_t second) = 0;
    // <= 0: the variable does not exist; 1: 8-bit elements; above 1: 16-bit elements.
    virtual int8_t QueryElementSize(int32_t variable, int32_t query) = 0;

  protected:
    // Destroyed only through the library's _DestroyClassInstance.
    ~IEcuLink() = default;
};

// The version record filled by the optional export _GetDLLVersion.
struct EcuLinkVersion {
    uint16_t major;
    uint16_t minor;
    uint16_t release;
    uint16_t build;
};

// Exports of the ECU link library.
extern "C" {
using CreateClassInstanceFn = IEcuLink* (*)();
using DestroyClassInstanceFn = void (*)(IEcuLink*);
using GetDllVersionFn = void (*)(EcuLinkVersion* version);
// Optional: _SetLinkLostHandler(link, handler, context).
using LinkLostFn = void (*)(void* context);
using SetLinkLostHandlerFn = void (*)(IEcuLink* link, LinkLostFn handler, void* context);
// Optional: _GetReplyCounts(link, &requests, &askedAgain), counted since the link was created.
using GetReplyCountsFn = void (*)(IEcuLink* link, uint32_t* requests, uint32_t* askedAgain);
// Optional: _IsPortDenied(link), 1 when the last OpenLink or Connect was refused a port.
using IsPortDeniedFn = int32_t (*)(IEcuLink* link);
}
