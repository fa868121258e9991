#pragma once

#include <memory>
#include <string>

#include "IEcuLink.h"
#include "LinkClock.h"
#include "RequestChannel.h"
#include "Transport.h"

namespace ecu {

// The ECU link object: every IEcuLink operation as requests of the serial protocol, over any
// byte transport. Connected means: the handshake succeeded on the open port and the ECU has
// not been lost since. A port error, an ECU that lost the session (it restarted), or a run of
// requests without any reply that lasts long enough ends the connection; one request that
// gets no reply is a slow or noisy line and fails alone. While not connected every session
// request fails at once until Connect succeeds again.
class EcuLink final : public IEcuLink {
  public:
    EcuLink(std::unique_ptr<Transport> transport, std::unique_ptr<LinkClock> clock);
    ~EcuLink();

    void ConfigureLink1(int32_t port) override;
    void ConfigureLink2(int32_t attempts) override;
    void ConfigureLink3(int32_t deadlineMs) override;
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
    void ConfigureLink4(int32_t replyTimeoutMs, int32_t slowReplyTimeoutMs) override;
    int8_t QueryElementSize(int32_t variable, int32_t query) override;

    // Called when the connection ends without the client asking (a port error, a lost ECU), at
    // once and on the thread that notices it; nullptr: nobody is told.
    using LostHandler = LinkLostFn;
    void setLostHandler(LostHandler handler, void* context);

    LinkTiming& timing() { return channel_.timing(); }
    const std::string& portName() const { return portName_; }
    // Why the last OpenLink or Connect found no ECU, for the user.
    const std::string& lastError() const { return lastError_; }
    // The last OpenLink or Connect found no ECU and a port refused this user.
    bool portDenied() const { return portDenied_; }
    uint32_t requestsSent() const { return channel_.requestsSent(); }
    uint32_t repliesAskedAgain() const { return channel_.repliesAskedAgain(); }
    bool polling() const { return polling_; }
    bool programming() const { return programming_; }

    // The ECU counts as lost after this many requests in a row without any reply, spanning at
    // least this long since its last answer: a noisy line loses single replies, a dead one
    // answers nothing for seconds.
    static constexpr int kLostAfterRequests = 3;
    static constexpr int kLostAfterMs = 1500;
    // A request this soon after an answer meets a live ECU: it may use all its deadline.
    static constexpr int kAliveMs = 300;

  private:
    enum class Probe { Hello, Boot };

    RequestChannel::Result session(uint8_t code, const Bytes& payload, int expectedReply,
                                   RequestChannel::Pace pace = RequestChannel::Pace::Normal);
    RequestChannel::Result boot(uint8_t code, const Bytes& payload, int expectedReply,
                                RequestChannel::Pace pace);
    // Ends the connection the client did not end itself, and says so.
    void lose(bool closePort);
    void noteAnswer();
    void noteFailure(const RequestChannel::Result& result);
    bool handshake();
    bool probe(Probe kind);
    bool openPort(Probe kind, bool lastPortOnly);
    bool ensurePort(Probe kind);
    bool readValues(uint8_t code, const Bytes& request, int count, bool wide, bool isSigned,
                    int32_t* out);
    bool writeValues(uint8_t code, Bytes request, int count, bool wide, bool isSigned,
                     const int32_t* values);
    int32_t program(const uint8_t* data, uint32_t size, int32_t mode, int32_t option,
                    int32_t verify);

    std::unique_ptr<Transport> transport_;
    std::unique_ptr<LinkClock> clock_;
    RequestChannel channel_;
    int portNumber_ = 0;
    std::string portName_;
    std::string lastError_;
    bool portDenied_ = false;
    bool connected_ = false;
    int silentRequests_ = 0;
    int64_t lastAnswerMs_ = 0;
    bool polling_ = false;
    bool programming_ = false;
    LostHandler lostHandler_ = nullptr;
    void* lostContext_ = nullptr;
};

}  // namespace ecu
