#pragma once

#include <QtGlobal>
#include <string>
#include <type_traits>
#include <vector>

#include "IEcuLink.h"

// The program's view of a link, written down: forwards every call to the real link and
// logs its name and the clock's time, so a test can check the order and the pace of the
// calls the program makes (IsConnected, Connect, ReadBlock ...).
class CallLogLink final : public IEcuLink {
  public:
    struct Call {
        std::string name;
        qint64 atMs;
        int result;  // the call's result, 0 for those without one
    };

    explicit CallLogLink(IEcuLink& link) : link_(link) {}

    const std::vector<Call>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    // The names of the calls, in order.
    std::vector<std::string> names() const;
    // The calls of one name.
    std::vector<Call> of(const std::string& name) const;

    void ConfigureLink1(int32_t value) override;
    void ConfigureLink2(int32_t value) override;
    void ConfigureLink3(int32_t value) override;
    void ClosePort() override;
    int32_t IsConnected() override;
    int32_t Connect() override;
    void Disconnect() override;
    void EndProgramming() override;
    void BeginProgramming() override;
    void EnterPollingMode() override;
    void LeavePollingMode() override;
    uint8_t ReadVariable(uint32_t id, int32_t* buffer) override;
    uint8_t ReadRow(uint32_t id, int32_t* rowBuffer, int32_t row) override;
    uint8_t ReadBlock(int32_t block, uint8_t* bytes, int32_t* length) override;
    uint8_t WriteVariable(uint32_t id, const int32_t* buffer) override;
    uint8_t WriteValue(uint32_t id, int32_t value) override;
    uint8_t WriteElement(uint32_t id, int32_t index, int32_t value) override;
    uint8_t WriteElement2(uint32_t id, int32_t row, int32_t column, int32_t value) override;
    uint8_t WriteRow(uint32_t id, const int32_t* rowBuffer, int32_t row) override;
    uint8_t SendCommand(int32_t command, uint8_t* bytes, int32_t* status, int32_t length) override;
    uint8_t ReadIdentity(uint8_t* bytes4) override;
    uint8_t OpenLink() override;
    int32_t ProgramFromFile(const char* fileName, int32_t mode, int32_t option,
                            int32_t verify) override;
    int32_t ProgramFromBuffer(const uint8_t* image, int32_t mode, int32_t option,
                              int32_t verify) override;
    uint8_t ReadBootCustomer(uint8_t* bytes) override;
    void ConfigureLink4(int32_t first, int32_t second) override;
    int8_t QueryElementSize(int32_t variable, int32_t query) override;

  private:
    // Makes the call, logged with the time at which it was made and its result.
    template <typename Call>
    auto run(const char* name, Call call) {
        const qint64 at = now();
        if constexpr (std::is_void_v<decltype(call())>) {
            call();
            calls_.push_back({name, at, 0});
        } else {
            const auto result = call();
            calls_.push_back({name, at, static_cast<int>(result)});
            return result;
        }
    }
    static qint64 now();

    IEcuLink& link_;
    std::vector<Call> calls_;
};
