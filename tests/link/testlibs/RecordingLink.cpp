// A link library for the loading tests: it records the calls the program makes on its link
// object, so the tests can see the set-up calls and the unload sequence. It talks to no ECU.
#include <string>

#include "IEcuLink.h"

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
// The calls go straight to the test, so it can read them even after the library is gone.
using Recorder = void (*)(const char* call);
Recorder recorder = nullptr;
bool connected = false;

void record(const std::string& call) {
    if (recorder) recorder(call.c_str());
}

class RecordingLink final : public IEcuLink {
  public:
    void ConfigureLink1(int32_t v) override { record("ConfigureLink1(" + std::to_string(v) + ")"); }
    void ConfigureLink2(int32_t v) override { record("ConfigureLink2(" + std::to_string(v) + ")"); }
    void ConfigureLink3(int32_t v) override { record("ConfigureLink3(" + std::to_string(v) + ")"); }
    void ClosePort() override { record("ClosePort"); }
    int32_t IsConnected() override { return connected ? 1 : 0; }
    int32_t Connect() override {
        record("Connect");
        connected = true;
        return 1;
    }
    void Disconnect() override {
        record("Disconnect");
        connected = false;
    }
    void EndProgramming() override {}
    void BeginProgramming() override {}
    void EnterPollingMode() override {}
    void LeavePollingMode() override {}
    uint8_t ReadVariable(uint32_t, int32_t*) override { return 0; }
    uint8_t ReadRow(uint32_t, int32_t*, int32_t) override { return 0; }
    uint8_t ReadBlock(int32_t, uint8_t*, int32_t*) override { return 0; }
    uint8_t WriteVariable(uint32_t, const int32_t*) override { return 0; }
    uint8_t WriteValue(uint32_t, int32_t) override { return 0; }
    uint8_t WriteElement(uint32_t, int32_t, int32_t) override { return 0; }
    uint8_t WriteElement2(uint32_t, int32_t, int32_t, int32_t) override { return 0; }
    uint8_t WriteRow(uint32_t, const int32_t*, int32_t) override { return 0; }
    uint8_t SendCommand(int32_t, uint8_t*, int32_t*, int32_t) override { return 0; }
    uint8_t ReadIdentity(uint8_t*) override { return 0; }
    uint8_t OpenLink() override { return 0; }
    int32_t ProgramFromFile(const char*, int32_t, int32_t, int32_t) override { return -1; }
    int32_t ProgramFromBuffer(const uint8_t*, int32_t, int32_t, int32_t) override { return -1; }
    uint8_t ReadBootCustomer(uint8_t*) override { return 0; }
    void ConfigureLink4(int32_t a, int32_t b) override {
        record("ConfigureLink4(" + std::to_string(a) + "," + std::to_string(b) + ")");
    }
    int8_t QueryElementSize(int32_t, int32_t) override { return 0; }
};
}  // namespace

TEST_EXPORT IEcuLink* _CreateClassInstance() {
    record("Create");
    return new RecordingLink;
}

#ifndef WITHOUT_DESTROY
TEST_EXPORT void _DestroyClassInstance(IEcuLink* link) {
    record("Destroy");
    delete static_cast<RecordingLink*>(link);
}
#endif

TEST_EXPORT void _GetDLLVersion(EcuLinkVersion* version) { *version = {3, 1, 4, 15}; }

TEST_EXPORT void _SetRecorder(Recorder function) {
    recorder = function;
    connected = false;
}
