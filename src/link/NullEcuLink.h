#pragma once

#include "IEcuLink.h"

// The link of a program whose ECU link library could not be loaded: nothing is connected,
// every read and write fails, programming reports an error. The program still starts.
class NullEcuLink final : public IEcuLink {
  public:
    static constexpr int32_t kProgrammingFailed = -1;

    void ConfigureLink1(int32_t) override {}
    void ConfigureLink2(int32_t) override {}
    void ConfigureLink3(int32_t) override {}
    void ClosePort() override {}
    int32_t IsConnected() override { return 0; }
    int32_t Connect() override { return 0; }
    void Disconnect() override {}
    void EndProgramming() override {}
    void BeginProgramming() override {}
    void EnterPollingMode() override {}
    void LeavePollingMode() override {}
    uint8_t ReadVariable(uint32_t, int32_t*) override { return 0; }
    uint8_t ReadRow(uint32_t, int32_t*, int32_t) override { return 0; }
    uint8_t ReadBlock(int32_t, uint8_t*, int32_t* length) override {
        if (length) *length = 0;
        return 0;
    }
    uint8_t WriteVariable(uint32_t, const int32_t*) override { return 0; }
    uint8_t WriteValue(uint32_t, int32_t) override { return 0; }
    uint8_t WriteElement(uint32_t, int32_t, int32_t) override { return 0; }
    uint8_t WriteElement2(uint32_t, int32_t, int32_t, int32_t) override { return 0; }
    uint8_t WriteRow(uint32_t, const int32_t*, int32_t) override { return 0; }
    uint8_t SendCommand(int32_t, uint8_t*, int32_t*, int32_t) override { return 0; }
    uint8_t ReadIdentity(uint8_t*) override { return 0; }
    uint8_t OpenLink() override { return 0; }
    int32_t ProgramFromFile(const char*, int32_t, int32_t, int32_t) override {
        return kProgrammingFailed;
    }
    int32_t ProgramFromBuffer(const uint8_t*, int32_t, int32_t, int32_t) override {
        return kProgrammingFailed;
    }
    uint8_t ReadBootCustomer(uint8_t*) override { return 0; }
    void ConfigureLink4(int32_t, int32_t) override {}
    int8_t QueryElementSize(int32_t, int32_t) override { return 0; }
};
