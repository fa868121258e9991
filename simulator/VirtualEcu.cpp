#include "VirtualEcu.h"

#include <algorithm>

#include "FrameCodec.h"
#include "Protocol.h"
#include "RequestTrace.h"
#include "ValueCodec.h"

namespace sim {

namespace p = ecu::protocol;
using ecu::Bytes;
using ecu::ValueCodec;
using ecu::VariableId;
using T = EcuVariableTable;

namespace {
constexpr int kStepMs = 50;  // the ECU's control loop
constexpr int kFrameGapMs = 20;
VirtualEcuOptions settled(VirtualEcuOptions o) {
    if (o.bootCustomer < 0) o.bootCustomer = o.customer;
    return o;
}
}  // namespace

VirtualEcu::VirtualEcu(VirtualEcuOptions options, int64_t startMs)
    : options_(settled(std::move(options))),
      table_(options_),
      memory_(table_),
      engine_(options_.ambientC),
      live_(options_.seed),
      parser_(p::kRequestStart, p::kMaxPayload),
      startMs_(startMs),
      followedMs_(startMs),
      firmwareMajor_(options_.firmwareMajor),
      firmwareMinor_(options_.firmwareMinor),
      bootCustomer_(options_.bootCustomer) {}

// --- time --------------------------------------------------------------------------------

void VirtualEcu::advanceTo(int64_t nowMs) {
    while (followedMs_ + kStepMs <= nowMs) {
        followedMs_ += kStepMs;
        const int64_t since = followedMs_ - startMs_;
        calibration_.follow(since, engine_, memory_.value(T::kCalibrationSpeed));
        live_.follow(engine_.at(since), memory_, since);
    }
}

void VirtualEcu::restart(int64_t nowMs) {
    memory_.reload();
    session_ = false;
    hasLast_ = false;
    live_.restart();
    calibration_.abort();
    engine_.release();
    boot_.reset();
    parser_.clear();
    silentUntilMs_ = nowMs + options_.restartMs;
    ++restarts_;
}

// --- the line ----------------------------------------------------------------------------

Bytes VirtualEcu::receive(const uint8_t* data, size_t size, int64_t nowMs) {
    Bytes out = idle(nowMs);
    if (data == nullptr || silent(nowMs)) return out;
    if (size > 0) lastByteMs_ = nowMs;
    // Fed in pieces no longer than a frame, so the parser never has to drop input.
    for (size_t at = 0; at < size; at += p::kMaxFrame) {
        parser_.feed(data + at, std::min<size_t>(p::kMaxFrame, size - at));
        if (!drain(out, nowMs)) return out;
    }
    return out;
}

Bytes VirtualEcu::idle(int64_t nowMs) {
    advanceTo(nowMs);
    Bytes out;
    if (silent(nowMs) || parser_.buffered() == 0 || nowMs - lastByteMs_ <= kFrameGapMs) return out;
    // A frame never pauses this long between its bytes: what waits is a false start, and a
    // good request behind it is still answered.
    parser_.dropStalled();
    drain(out, nowMs);
    return out;
}

std::optional<int64_t> VirtualEcu::stallCheckMs() const {
    if (parser_.buffered() == 0) return std::nullopt;
    return lastByteMs_ + kFrameGapMs + 1;
}

bool VirtualEcu::drain(Bytes& out, int64_t nowMs) {
    while (auto frame = parser_.next()) {
        ++frames_;
        const Bytes reply = handle(*frame, nowMs);
        out.insert(out.end(), reply.begin(), reply.end());
        if (restartPending_) {
            restartPending_ = false;
            restart(nowMs);
            return false;
        }
    }
    return true;
}

Bytes VirtualEcu::handle(const ecu::Frame& frame, int64_t nowMs) {
    // A repeat of the last request (its reply was lost) gets that reply again.
    if (frame.sequence != p::kHelloSequence && hasLast_ && frame.sequence == lastSequence_ &&
        frame.crc == lastCrc_) {
        ++repeats_;
        return lastReply_;
    }
    const Reply reply = execute(frame, nowMs);
    record(frame, reply);
    const Bytes bytes = reply.error == 0
                            ? ecu::FrameCodec::encode(p::kReplyStart, frame.sequence,
                                                      frame.code | p::kReplyFlag, reply.payload)
                            : ecu::FrameCodec::encode(p::kReplyStart, frame.sequence,
                                                      p::kErrorReply, {frame.code, reply.error});
    hasLast_ = frame.sequence != p::kHelloSequence;
    lastSequence_ = frame.sequence;
    lastCrc_ = frame.crc;
    lastReply_ = bytes;
    return bytes;
}

void VirtualEcu::record(const ecu::Frame& frame, const Reply& reply) {
    std::string line = RequestTrace::line(frame);
    if (reply.error != 0) line += " !error " + std::to_string(reply.error);
    if (sink_) sink_(line);
    trace_.push_back(std::move(line));
}

VirtualEcu::Reply VirtualEcu::execute(const ecu::Frame& frame, int64_t nowMs) {
    const Bytes& a = frame.payload;
    if (frame.code == p::kHello) return hello(a, nowMs);
    // Sequence 0 belongs to the handshake: any other request with it could not be told from
    // its own retry, so it is refused before it does anything.
    if (frame.sequence == p::kHelloSequence) return {{}, p::kBadPayload};
    switch (frame.code) {
        case p::kBootCustomer:
            return {{static_cast<uint8_t>(bootCustomer_), 1, 0, 0}, 0};
        case p::kProgramStart:
            return programStart(a);
        case p::kProgramData:
            return programData(a);
        case p::kProgramEnd:
            return programEnd(a);
        default:
            break;
    }
    if (!session_) return {{}, p::kNoSession};
    switch (frame.code) {
        case p::kBye:
            session_ = false;
            return {};
        case p::kIdentity:
            return {identity(), 0};
        case p::kReadVariable:
            return readVariable(a, nowMs);
        case p::kWriteVariable:
            return writeVariable(a, false);
        case p::kWriteValue:
            return writeVariable(a, true);
        case p::kReadRow:
            return readRow(a);
        case p::kWriteRow:
            return writeRow(a);
        case p::kWriteElement:
            return writeElement(a, false);
        case p::kWriteElement2:
            return writeElement(a, true);
        case p::kElementSize:
            return elementSize(a);
        case p::kReadBlock:
            return readBlock(a, nowMs);
        case p::kCommand:
            return command(a, nowMs);
        default:
            return {{}, p::kUnknownRequest};
    }
}

VirtualEcu::Reply VirtualEcu::hello(const Bytes& a, int64_t nowMs) {
    if (a.size() != 3 || a[0] != p::kHelloMagic0 || a[1] != p::kHelloMagic1)
        return {{}, p::kBadPayload};
    // The ECU answers with the version it speaks; the session opens only when it is the one
    // asked for, so a link of another version finds out before any session request.
    session_ = a[2] == p::kProtocolVersion;
    if (session_) readyAtMs_ = nowMs + options_.bootMs;
    return {{p::kProtocolVersion, p::kMaxPayload, 0}, 0};
}

std::vector<uint8_t> VirtualEcu::identity() const {
    return {static_cast<uint8_t>(memory_.value(T::kCustomer)), static_cast<uint8_t>(options_.model),
            static_cast<uint8_t>(firmwareMinor_), static_cast<uint8_t>(firmwareMajor_)};
}

// --- variables ---------------------------------------------------------------------------

namespace {
bool sameShape(VariableId id, const EcuVariable& v) {
    return id.isWide() == v.wide && id.isSigned() == v.isSigned;
}
}  // namespace

VirtualEcu::Access VirtualEcu::whole(VariableId id) const {
    const EcuVariable* v = table_.find(id.number());
    if (v == nullptr) return {nullptr, p::kUnknownVariable};
    if (!id.isWholeVariableId() || !sameShape(id, *v) || v->rowLength > 0) return {v, p::kBadId};
    if (id.isArray() != (v->count > 1)) return {v, p::kBadId};
    if (id.isArray() && id.count() != v->count) return {v, p::kBadId};
    if (id.isBitField() && v->isSigned) return {v, p::kBadId};
    return {v, 0};
}

VirtualEcu::Access VirtualEcu::row(VariableId id, int rowIndex) const {
    const EcuVariable* v = table_.find(id.number());
    if (v == nullptr) return {nullptr, p::kUnknownVariable};
    if (!id.isWholeVariableId() || !id.isArray() || !sameShape(id, *v) || v->rowLength == 0 ||
        id.count() != v->rowLength)
        return {v, p::kBadId};
    if (rowIndex >= v->rows()) return {v, p::kBadIndex};
    return {v, 0};
}

VirtualEcu::Access VirtualEcu::element(VariableId id) const {
    const EcuVariable* v = table_.find(id.number());
    if (v == nullptr) return {nullptr, p::kUnknownVariable};
    // Element writes name the variable without its count; the array bit may be left out.
    if (!id.isElementId() || !sameShape(id, *v) || (id.isArray() && !v->isArray()))
        return {v, p::kBadId};
    return {v, 0};
}

int32_t VirtualEcu::read(int number, int index, int64_t nowMs) const {
    if (number == T::kReadiness) return ready(nowMs) ? T::kReady : 0;
    return memory_.value(number, index);
}

uint8_t VirtualEcu::store(const EcuVariable& v, int index, int32_t value) {
    if (options_.refuseWrites) return p::kWriteRefused;
    if (v.number == options_.refusedVariable &&
        (options_.refusedIndex < 0 || index == options_.refusedIndex))
        return p::kWriteRefused;
    if (v.readOnly) return p::kReadOnly;
    if (value < v.low() || value > v.high()) return p::kOutOfRange;
    const int32_t before = memory_.value(v.number, index);
    // The customer code is given once, to a blank ECU.
    if (v.number == T::kCustomer && before != 253 && value != before) return p::kReadOnly;
    memory_.set(v.number, index, value);
    written(v.number, before);
    return 0;
}

void VirtualEcu::written(int number, int32_t before) {
    // Setting the initialisation request resets the ECU's data to the factory contents.
    if (number == T::kStatus && (memory_.value(T::kStatus) & 1) && !(before & 1)) {
        const int32_t status = memory_.value(T::kStatus);
        memory_.factoryReset({T::kSerial, T::kStatus, T::kCustomer});
        memory_.set(T::kStatus, 0, status);
    }
}

VirtualEcu::Reply VirtualEcu::readVariable(const Bytes& a, int64_t nowMs) {
    if (a.size() != 4) return {{}, p::kBadPayload};
    const VariableId id(ValueCodec::readU32(a.data()));
    const Access access = whole(id);
    if (access.error) return {{}, access.error};
    Reply reply;
    if (id.isBitField()) {
        const int32_t field =
            (read(id.number(), 0, nowMs) >> id.shift()) & ((1 << id.fieldWidth()) - 1);
        ValueCodec::append(reply.payload, field, id.isWide(), false);
        return reply;
    }
    for (int i = 0; i < access.variable->count; ++i)
        ValueCodec::append(reply.payload, read(id.number(), i, nowMs), id.isWide(), id.isSigned());
    return reply;
}

VirtualEcu::Reply VirtualEcu::writeVariable(const Bytes& a, bool single) {
    if (a.size() < 4) return {{}, p::kBadPayload};
    const VariableId id(ValueCodec::readU32(a.data()));
    const Access access = whole(id);
    if (access.error) return {{}, access.error};
    const EcuVariable& v = *access.variable;
    if (single && v.count > 1) return {{}, p::kBadId};
    const size_t size = static_cast<size_t>(id.elementBytes());
    if (a.size() != 4 + size * static_cast<size_t>(v.count)) return {{}, p::kBadPayload};
    if (id.isBitField()) {
        const int32_t mask = ((1 << id.fieldWidth()) - 1) << id.shift();
        const int32_t given = ValueCodec::read(a.data() + 4, id.isWide(), false);
        const int32_t merged = (memory_.value(v.number) & ~mask) | (given & mask);
        return {{}, store(v, 0, merged)};
    }
    for (int i = 0; i < v.count; ++i) {
        const int32_t value = ValueCodec::read(a.data() + 4 + i * size, id.isWide(), id.isSigned());
        if (value < v.low() || value > v.high()) return {{}, p::kOutOfRange};
    }
    for (int i = 0; i < v.count; ++i)
        if (const uint8_t error =
                store(v, i, ValueCodec::read(a.data() + 4 + i * size, id.isWide(), id.isSigned())))
            return {{}, error};
    return {};
}

VirtualEcu::Reply VirtualEcu::readRow(const Bytes& a) {
    if (a.size() != 5) return {{}, p::kBadPayload};
    const VariableId id(ValueCodec::readU32(a.data()));
    const Access access = row(id, a[4]);
    if (access.error) return {{}, access.error};
    Reply reply;
    const int first = a[4] * access.variable->rowLength;
    for (int c = 0; c < access.variable->rowLength; ++c)
        ValueCodec::append(reply.payload, memory_.value(id.number(), first + c), id.isWide(),
                           id.isSigned());
    return reply;
}

VirtualEcu::Reply VirtualEcu::writeRow(const Bytes& a) {
    if (a.size() < 5) return {{}, p::kBadPayload};
    const VariableId id(ValueCodec::readU32(a.data()));
    const Access access = row(id, a[4]);
    if (access.error) return {{}, access.error};
    const EcuVariable& v = *access.variable;
    const size_t size = static_cast<size_t>(id.elementBytes());
    if (a.size() != 5 + size * static_cast<size_t>(v.rowLength)) return {{}, p::kBadPayload};
    const int first = a[4] * v.rowLength;
    for (int c = 0; c < v.rowLength; ++c)
        if (const uint8_t error =
                store(v, first + c,
                      ValueCodec::read(a.data() + 5 + c * size, id.isWide(), id.isSigned())))
            return {{}, error};
    return {};
}

VirtualEcu::Reply VirtualEcu::writeElement(const Bytes& a, bool twoIndexes) {
    const size_t head = twoIndexes ? 6 : 5;
    if (a.size() < head) return {{}, p::kBadPayload};
    const VariableId id(ValueCodec::readU32(a.data()));
    const Access access = element(id);
    if (access.error) return {{}, access.error};
    const EcuVariable& v = *access.variable;
    if (a.size() != head + static_cast<size_t>(id.elementBytes())) return {{}, p::kBadPayload};
    int index = a[4];
    if (twoIndexes) {
        if (v.rowLength == 0) return {{}, p::kBadId};
        if (a[4] >= v.rows() || a[5] >= v.rowLength) return {{}, p::kBadIndex};
        index = a[4] * v.rowLength + a[5];
    }
    if (index >= v.count) return {{}, p::kBadIndex};
    return {{}, store(v, index, ValueCodec::read(a.data() + head, id.isWide(), id.isSigned()))};
}

VirtualEcu::Reply VirtualEcu::elementSize(const Bytes& a) const {
    if (a.size() != 2 || a[1] != 1) return {{}, p::kBadPayload};
    const EcuVariable* v = table_.find(a[0]);
    return {{static_cast<uint8_t>(v == nullptr ? 0 : (v->wide ? 2 : 1))}, 0};
}

// --- live data and commands --------------------------------------------------------------

std::vector<uint8_t> VirtualEcu::liveBlock(int64_t nowMs) {
    advanceTo(nowMs);
    return live_.block(engine_.at(nowMs - startMs_), memory_, nowMs - startMs_,
                       calibration_.running());
}

VirtualEcu::Reply VirtualEcu::readBlock(const Bytes& a, int64_t nowMs) {
    if (a.size() != 1) return {{}, p::kBadPayload};
    if (a[0] != 1) return {{}, p::kUnknownBlock};
    Bytes block = liveBlock(nowMs);
    block.resize(std::clamp<size_t>(options_.liveBlockBytes, 0, block.size()));
    return {block, 0};
}

VirtualEcu::Reply VirtualEcu::command(const Bytes& a, int64_t nowMs) {
    if (a.size() < 2) return {{}, p::kBadPayload};
    const uint8_t code = a[0];
    if (refusals_ > 0 && code == refusedCommand_) {
        --refusals_;
        return {{}, p::kWriteRefused};
    }
    Bytes data(a.begin() + 2, a.end());
    Reply reply{{0}, 0};  // status 0: done
    switch (code) {
        case 4: {  // the shape of a table: row length, rows
            const EcuVariable* v = data.empty() ? nullptr : table_.find(data[0]);
            if (v == nullptr || v->rowLength == 0) return {{}, p::kUnknownVariable};
            data = {static_cast<uint8_t>(v->rowLength), static_cast<uint8_t>(v->rows())};
            break;
        }
        case 17:
            memory_.openSave();
            break;
        case 18:
            if (calibration_.done())
                finishCalibration();
            else
                memory_.closeSave();
            break;
        case 19: {
            const bool running = engine_.at(nowMs - startMs_).running;
            calibration_.start(nowMs - startMs_, options_.calibrationErrors | (running ? 0 : 0x08));
            break;
        }
        case 20:
            data = {static_cast<uint8_t>(calibration_.step()), calibration_.errors()};
            break;
        case 21:
            calibration_.abort();
            restartPending_ = true;
            break;
        default:
            return {{}, p::kUnknownCommand};
    }
    reply.payload.insert(reply.payload.end(), data.begin(), data.end());
    return reply;
}

void VirtualEcu::finishCalibration() {
    // The measured correction: the cells of the calibration speed's column, mid-load rows.
    const EcuVariable* map = table_.find(T::kKMap);
    const auto& speeds = memory_.values(T::kKSpeeds);
    const int32_t target = memory_.value(T::kCalibrationSpeed);
    int column = 0;
    while (column + 1 < static_cast<int>(speeds.size()) && target >= speeds[column]) ++column;
    for (int r = 3; r <= 8 && r < map->rows(); ++r) {
        const int index = r * map->rowLength + column;
        memory_.set(T::kKMap, index, std::min(255, memory_.value(T::kKMap, index) + 2));
    }
    memory_.closeSave();
    restartPending_ = true;
}

// --- programming -------------------------------------------------------------------------

void VirtualEcu::setProgramResult(int32_t result, int failures) {
    options_.programResult = result;
    options_.programFailures = failures;
    programRuns_ = 0;
}

VirtualEcu::Reply VirtualEcu::programStart(const Bytes& a) {
    if (a.size() != 7) return {{}, p::kBadPayload};
    const uint8_t error = boot_.start(a[0], a[1], a[2], ValueCodec::readU32(a.data() + 3));
    if (error) return {{}, error};
    session_ = false;  // the application stops for the boot loader
    calibration_.abort();
    return {};
}

VirtualEcu::Reply VirtualEcu::programData(const Bytes& a) {
    if (a.size() < 5) return {{}, p::kBadPayload};
    return {{}, boot_.data(ValueCodec::readU32(a.data()), a.data() + 4, a.size() - 4)};
}

VirtualEcu::Reply VirtualEcu::programEnd(const Bytes& a) {
    if (a.size() != 4) return {{}, p::kBadPayload};
    if (!boot_.active()) return {{}, p::kProgramSequence};
    int32_t result = boot_.finish(ValueCodec::readU32(a.data()));
    const bool forced = options_.programResult != 0 &&
                        (options_.programFailures < 0 || programRuns_ < options_.programFailures);
    if (result == p::kProgramOk && forced) {
        result = options_.programResult;
        ++programRuns_;
    }
    if (result == p::kProgramOk) {
        if (const auto version = BootLoader::versionIn(boot_.image())) {
            firmwareMajor_ = version->first;
            firmwareMinor_ = version->second;
        }
        // New firmware starts from factory data and asks the program to initialise it.
        memory_.factoryReset({T::kSerial, T::kCustomer});
        memory_.set(T::kStatus, 0, memory_.value(T::kStatus) | 1);
        if (options_.refuseWritesAfterProgramming) options_.refuseWrites = true;
    }
    restartPending_ = true;
    Reply reply;
    ValueCodec::appendU32(reply.payload, static_cast<uint32_t>(result));
    return reply;
}

// --- test access -------------------------------------------------------------------------

bool VirtualEcu::setValue(int number, int index, int32_t value) {
    return memory_.set(number, index, value);
}

bool VirtualEcu::setValues(int number, const std::vector<int32_t>& values) {
    const EcuVariable* v = table_.find(number);
    if (v == nullptr || static_cast<int>(values.size()) != v->count) return false;
    for (int i = 0; i < v->count; ++i) memory_.set(number, i, values[i]);
    return true;
}

std::vector<int32_t> VirtualEcu::valuesOf(uint32_t raw) const {
    const VariableId id(raw);
    if (table_.find(id.number()) == nullptr) return {};
    if (id.isBitField())
        return {(memory_.value(id.number()) >> id.shift()) & ((1 << id.fieldWidth()) - 1)};
    return memory_.values(id.number());
}

}  // namespace sim
