#include "EcuLink.h"

#include <algorithm>
#include <fstream>

#include "Crc32.h"
#include "Protocol.h"
#include "ValueCodec.h"
#include "VariableId.h"

namespace ecu {

using Pace = RequestChannel::Pace;
using Status = RequestChannel::Status;
namespace p = protocol;

namespace {
bool isByte(int32_t value) { return value >= 0 && value <= 255; }

Bytes idPayload(uint32_t id) {
    Bytes out;
    ValueCodec::appendU32(out, id);
    return out;
}
}  // namespace

EcuLink::EcuLink(std::unique_ptr<Transport> transport, std::unique_ptr<LinkClock> clock)
    : transport_(std::move(transport)), clock_(std::move(clock)), channel_(*transport_, *clock_) {
    // The port is left as it is: the error may come in the middle of the transport's own
    // work. The next request or Connect finds it unhealthy and closes or reopens it.
    transport_->setFailureHandler([this] { lose(false); });
}

EcuLink::~EcuLink() {
    transport_->setFailureHandler(nullptr);
    ClosePort();
}

void EcuLink::setLostHandler(LostHandler handler, void* context) {
    lostHandler_ = handler;
    lostContext_ = context;
}

void EcuLink::lose(bool closePort) {
    const bool wasConnected = connected_;
    connected_ = false;
    if (closePort) transport_->close();
    if (wasConnected && lostHandler_) lostHandler_(lostContext_);
}

void EcuLink::ConfigureLink1(int32_t port) { portNumber_ = std::clamp(port, 0, 255); }
void EcuLink::ConfigureLink2(int32_t attempts) { timing().attempts = std::clamp(attempts, 1, 20); }
void EcuLink::ConfigureLink3(int32_t deadlineMs) {
    timing().deadlineMs = std::clamp(deadlineMs, 50, 60000);
}
void EcuLink::ConfigureLink4(int32_t replyTimeoutMs, int32_t slowReplyTimeoutMs) {
    timing().replyTimeoutMs = std::clamp(replyTimeoutMs, 5, 10000);
    timing().slowReplyTimeoutMs = std::clamp(slowReplyTimeoutMs, 50, 60000);
}

void EcuLink::ClosePort() {
    connected_ = false;
    transport_->close();
}

int32_t EcuLink::IsConnected() {
    if (connected_ && !transport_->healthy()) lose(true);
    return connected_ ? 1 : 0;
}

void EcuLink::EnterPollingMode() {
    polling_ = true;
    channel_.setPolling(true);
}

void EcuLink::LeavePollingMode() {
    polling_ = false;
    channel_.setPolling(false);
}

void EcuLink::BeginProgramming() { programming_ = true; }
void EcuLink::EndProgramming() { programming_ = false; }

// --- connection --------------------------------------------------------------------------

bool EcuLink::handshake() {
    const auto result =
        channel_.hello({p::kHelloMagic0, p::kHelloMagic1, p::kProtocolVersion}, Pace::Normal);
    connected_ =
        result.ok() && result.payload.size() >= 3 && result.payload[0] == p::kProtocolVersion;
    if (connected_) noteAnswer();
    if (!connected_ && result.status == Status::PortFailed) transport_->close();
    return connected_;
}

bool EcuLink::probe(Probe kind) {
    if (kind == Probe::Hello) return handshake();
    return boot(p::kBootCustomer, {}, 4, Pace::Normal).ok();
}

bool EcuLink::openPort(Probe kind, bool lastPortOnly) {
    std::vector<std::string> names;
    if (!portName_.empty()) names.push_back(portName_);
    const std::vector<std::string> offered = transport_->candidates(portNumber_);
    const bool lastPortPresent =
        !portName_.empty() && std::find(offered.begin(), offered.end(), portName_) != offered.end();
    if (!lastPortOnly || !lastPortPresent)
        for (const auto& name : offered)
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);

    std::string problems;
    bool denied = false;
    for (const auto& name : names) {
        transport_->close();
        const auto opened = transport_->open(name);
        if (opened != Transport::OpenResult::Opened) {
            if (opened != Transport::OpenResult::Missing)
                problems += transport_->lastError() + "\n";
            denied = denied || opened == Transport::OpenResult::PermissionDenied;
            continue;
        }
        if (probe(kind)) {
            portName_ = name;
            lastError_.clear();
            portDenied_ = false;
            return true;
        }
        problems += "no ECU answers on " + name + "\n";
    }
    transport_->close();
    connected_ = false;
    portDenied_ = denied;
    lastError_ = names.empty() ? "no serial port found" : problems;
    if (!lastError_.empty() && lastError_.back() == '\n') lastError_.pop_back();
    return false;
}

bool EcuLink::ensurePort(Probe kind) {
    if (transport_->isOpen() && transport_->healthy()) return true;
    return openPort(kind, polling_);
}

uint8_t EcuLink::OpenLink() {
    if (transport_->isOpen() && transport_->healthy() && handshake()) return 1;
    return openPort(Probe::Hello, false) ? 1 : 0;
}

int32_t EcuLink::Connect() {
    if (transport_->isOpen() && transport_->healthy()) {
        if (handshake()) return 1;
        if (polling_) return 0;
    }
    return openPort(Probe::Hello, polling_) ? 1 : 0;
}

void EcuLink::Disconnect() {
    if (connected_ && transport_->isOpen()) (void)channel_.request(p::kBye, {}, Pace::Once, 0);
    ClosePort();
}

// --- requests ----------------------------------------------------------------------------

void EcuLink::noteAnswer() {
    silentRequests_ = 0;
    lastAnswerMs_ = clock_->nowMs();
}

void EcuLink::noteFailure(const RequestChannel::Result& result) {
    switch (result.status) {
        case Status::Ok:
            return;
        case Status::ErrorReply:
            if (result.error == p::kNoSession) lose(false);
            return;
        case Status::NoReply:
            if (++silentRequests_ >= kLostAfterRequests &&
                clock_->nowMs() - lastAnswerMs_ >= kLostAfterMs)
                lose(false);
            return;
        case Status::PortFailed:
        case Status::NotOpen:
            lose(true);
            return;
    }
}

RequestChannel::Result EcuLink::session(uint8_t code, const Bytes& payload, int expectedReply,
                                        Pace pace) {
    if (IsConnected() == 0) return {Status::NotOpen, {}, 0};
    channel_.setAlive(clock_->nowMs() - lastAnswerMs_ < kAliveMs);
    auto result = channel_.request(code, payload, pace, expectedReply);
    if (result.status == Status::Ok || result.status == Status::ErrorReply) noteAnswer();
    noteFailure(result);
    return result;
}

RequestChannel::Result EcuLink::boot(uint8_t code, const Bytes& payload, int expectedReply,
                                     Pace pace) {
    auto result = channel_.request(code, payload, pace, expectedReply);
    if (result.status == Status::PortFailed) ClosePort();
    return result;
}

bool EcuLink::readValues(uint8_t code, const Bytes& request, int count, bool wide, bool isSigned,
                         int32_t* out) {
    const int size = count * (wide ? 2 : 1);
    if (out == nullptr || count <= 0 || size > p::kMaxPayload) return false;
    const auto result = session(code, request, size);
    // A reply of another size answers some other question: take nothing from it.
    if (!result.ok() || static_cast<int>(result.payload.size()) != size) return false;
    for (int i = 0; i < count; ++i)
        out[i] = ValueCodec::read(result.payload.data() + i * (wide ? 2 : 1), wide, isSigned);
    return true;
}

bool EcuLink::writeValues(uint8_t code, Bytes request, int count, bool wide, bool isSigned,
                          const int32_t* values) {
    if (values == nullptr || count <= 0) return false;
    for (int i = 0; i < count; ++i)
        if (!ValueCodec::append(request, values[i], wide, isSigned)) return false;
    if (request.size() > static_cast<size_t>(p::kMaxPayload)) return false;
    return session(code, request, 0).ok();
}

uint8_t EcuLink::ReadVariable(uint32_t id, int32_t* buffer) {
    const VariableId v(id);
    if (!v.isWholeVariableId()) return 0;
    const bool isSigned = v.isSigned() && !v.isBitField();
    return readValues(p::kReadVariable, idPayload(id), v.elements(), v.isWide(), isSigned, buffer);
}

uint8_t EcuLink::ReadRow(uint32_t id, int32_t* rowBuffer, int32_t row) {
    const VariableId v(id);
    if (!v.isWholeVariableId() || !v.isArray() || !isByte(row)) return 0;
    Bytes request = idPayload(id);
    request.push_back(static_cast<uint8_t>(row));
    return readValues(p::kReadRow, request, v.count(), v.isWide(), v.isSigned(), rowBuffer);
}

uint8_t EcuLink::ReadBlock(int32_t block, uint8_t* bytes, int32_t* length) {
    if (bytes == nullptr || length == nullptr || *length <= 0 || !isByte(block)) return 0;
    const auto result = session(p::kReadBlock, {static_cast<uint8_t>(block)}, *length);
    if (!result.ok()) return 0;
    const int32_t delivered =
        std::min<int32_t>(*length, static_cast<int32_t>(result.payload.size()));
    std::copy_n(result.payload.begin(), delivered, bytes);
    *length = delivered;
    return 1;
}

uint8_t EcuLink::WriteVariable(uint32_t id, const int32_t* buffer) {
    const VariableId v(id);
    if (!v.isWholeVariableId()) return 0;
    const bool isSigned = v.isSigned() && !v.isBitField();
    return writeValues(p::kWriteVariable, idPayload(id), v.elements(), v.isWide(), isSigned, buffer)
               ? 1
               : 0;
}

uint8_t EcuLink::WriteValue(uint32_t id, int32_t value) {
    const VariableId v(id);
    if (!v.isWholeVariableId() || v.isArray()) return 0;
    const bool isSigned = v.isSigned() && !v.isBitField();
    return writeValues(p::kWriteValue, idPayload(id), 1, v.isWide(), isSigned, &value) ? 1 : 0;
}

uint8_t EcuLink::WriteElement(uint32_t id, int32_t index, int32_t value) {
    const VariableId v(id);
    if (!v.isElementId() || !isByte(index)) return 0;
    Bytes request = idPayload(id);
    request.push_back(static_cast<uint8_t>(index));
    return writeValues(p::kWriteElement, request, 1, v.isWide(), v.isSigned(), &value) ? 1 : 0;
}

uint8_t EcuLink::WriteElement2(uint32_t id, int32_t row, int32_t column, int32_t value) {
    const VariableId v(id);
    if (!v.isElementId() || !isByte(row) || !isByte(column)) return 0;
    Bytes request = idPayload(id);
    request.push_back(static_cast<uint8_t>(row));
    request.push_back(static_cast<uint8_t>(column));
    return writeValues(p::kWriteElement2, request, 1, v.isWide(), v.isSigned(), &value) ? 1 : 0;
}

uint8_t EcuLink::WriteRow(uint32_t id, const int32_t* rowBuffer, int32_t row) {
    const VariableId v(id);
    if (!v.isWholeVariableId() || !v.isArray() || !isByte(row)) return 0;
    Bytes request = idPayload(id);
    request.push_back(static_cast<uint8_t>(row));
    return writeValues(p::kWriteRow, request, v.count(), v.isWide(), v.isSigned(), rowBuffer) ? 1
                                                                                              : 0;
}

uint8_t EcuLink::SendCommand(int32_t command, uint8_t* bytes, int32_t* status, int32_t length) {
    if (!isByte(command) || length < 0 || length > p::kMaxPayload - 2) return 0;
    if (length > 0 && bytes == nullptr) return 0;
    const int32_t mode = status ? *status : 0;
    if (!isByte(mode)) return 0;
    Bytes request;
    request.reserve(static_cast<size_t>(length) + 2);
    request.push_back(static_cast<uint8_t>(command));
    request.push_back(static_cast<uint8_t>(mode));
    for (int32_t i = 0; i < length; ++i) request.push_back(bytes[i]);
    // Opening and closing a save sequence commit memory: the ECU takes longer.
    const Pace pace = command == 17 || command == 18 ? Pace::Slow : Pace::Normal;
    const auto result = session(p::kCommand, request, length + 1, pace);
    if (!result.ok() || result.payload.empty()) return 0;
    const size_t delivered =
        std::min<size_t>(static_cast<size_t>(length), result.payload.size() - 1);
    std::copy_n(result.payload.begin() + 1, delivered, bytes);
    if (status) *status = result.payload[0];
    return 1;
}

uint8_t EcuLink::ReadIdentity(uint8_t* bytes4) {
    if (bytes4 == nullptr) return 0;
    const auto result = session(p::kIdentity, {}, 4);
    if (!result.ok() || result.payload.size() != 4) return 0;
    std::copy_n(result.payload.begin(), 4, bytes4);
    return 1;
}

uint8_t EcuLink::ReadBootCustomer(uint8_t* bytes) {
    if (bytes == nullptr || !ensurePort(Probe::Boot)) return 0;
    const auto result = boot(p::kBootCustomer, {}, 4, Pace::Normal);
    if (!result.ok() || result.payload.size() != 4) return 0;
    std::copy_n(result.payload.begin(), 4, bytes);
    return 1;
}

int8_t EcuLink::QueryElementSize(int32_t variable, int32_t query) {
    if (!isByte(variable) || !isByte(query)) return -1;
    const auto result =
        session(p::kElementSize, {static_cast<uint8_t>(variable), static_cast<uint8_t>(query)}, 1);
    if (!result.ok() || result.payload.size() != 1) return -1;
    return static_cast<int8_t>(result.payload[0]);
}

// --- programming -------------------------------------------------------------------------

int32_t EcuLink::ProgramFromBuffer(const uint8_t* image, int32_t mode, int32_t option,
                                   int32_t verify) {
    if (image == nullptr) return p::kProgramBadImage;
    const uint32_t size = ValueCodec::readU32(image);
    if (size == 0 || size > p::kMaxImage) return p::kProgramBadImage;
    return program(image + 4, size, mode, option, verify);
}

int32_t EcuLink::ProgramFromFile(const char* fileName, int32_t mode, int32_t option,
                                 int32_t verify) {
    if (fileName == nullptr) return p::kProgramBadImage;
    std::ifstream file(fileName, std::ios::binary);
    if (!file) return p::kProgramBadImage;
    Bytes content(p::kMaxImage + 5);
    file.read(reinterpret_cast<char*>(content.data()),
              static_cast<std::streamsize>(content.size()));
    const auto got = static_cast<size_t>(file.gcount());
    // The file holds the image as ProgramFromBuffer takes it: length, then the bytes.
    if (got < 5 || got > p::kMaxImage + 4 || ValueCodec::readU32(content.data()) != got - 4)
        return p::kProgramBadImage;
    return program(content.data() + 4, static_cast<uint32_t>(got - 4), mode, option, verify);
}

int32_t EcuLink::program(const uint8_t* data, uint32_t size, int32_t mode, int32_t option,
                         int32_t verify) {
    if (!programming_) return p::kProgramNotReady;
    if (!isByte(mode) || !isByte(option) || !isByte(verify)) return p::kProgramRefused;
    if (!ensurePort(Probe::Boot)) return p::kProgramNotReady;
    connected_ = false;  // the application stops while the boot loader runs

    Bytes start{static_cast<uint8_t>(mode), static_cast<uint8_t>(option),
                static_cast<uint8_t>(verify)};
    ValueCodec::appendU32(start, size);
    const auto started = boot(p::kProgramStart, start, 0, Pace::Slow);
    if (started.status == Status::ErrorReply) return p::kProgramRefused;
    if (!started.ok()) return p::kProgramNoBootLoader;

    for (uint32_t offset = 0; offset < size; offset += p::kProgramChunk) {
        const uint32_t chunk = std::min<uint32_t>(p::kProgramChunk, size - offset);
        Bytes block;
        ValueCodec::appendU32(block, offset);
        block.insert(block.end(), data + offset, data + offset + chunk);
        if (!boot(p::kProgramData, block, 0, Pace::Normal).ok()) return p::kProgramTransferLost;
    }

    Bytes end;
    ValueCodec::appendU32(end, Crc32::of(data, size));
    const auto ended = boot(p::kProgramEnd, end, 4, Pace::Slow);
    if (ended.status == Status::ErrorReply) return p::kProgramRefused;
    if (!ended.ok() || ended.payload.size() != 4) return p::kProgramTransferLost;
    return static_cast<int32_t>(ValueCodec::readU32(ended.payload.data()));
}

}  // namespace ecu
