#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BootLoader.h"
#include "CalibrationProcess.h"
#include "EcuMemory.h"
#include "EcuVariableTable.h"
#include "EngineModel.h"
#include "Frame.h"
#include "FrameParser.h"
#include "LiveData.h"
#include "VariableId.h"
#include "VirtualEcuOptions.h"

namespace sim {

// An independent model of the ECU, peer of the link library on the line: it parses request
// frames, answers them as the ECU does, and runs its engine, calibration and boot loader on
// the time it is given (single-threaded, deterministic for a given seed and request order).
class VirtualEcu {
  public:
    explicit VirtualEcu(VirtualEcuOptions options = {}, int64_t startMs = 0);

    // Bytes from the program at nowMs; returns the ECU's reply bytes.
    ecu::Bytes receive(const uint8_t* data, size_t size, int64_t nowMs);
    ecu::Bytes receive(const ecu::Bytes& bytes, int64_t nowMs) {
        return receive(bytes.data(), bytes.size(), nowMs);
    }
    // No byte came: a request stalled behind a false start is looked for again once the
    // bytes have paused for the frame gap. Returns the ECU's reply bytes, if any.
    ecu::Bytes idle(int64_t nowMs);
    // When idle() may find something: the end of the frame gap after the last byte held.
    std::optional<int64_t> stallCheckMs() const;
    // Lets the engine, the calibration and the boot timers follow the time.
    void advanceTo(int64_t nowMs);
    // The ECU says nothing while it restarts.
    bool silent(int64_t nowMs) const { return nowMs < silentUntilMs_; }
    void powerCycle(int64_t nowMs) { restart(nowMs); }

    // Memory, for setting up and checking tests.
    const std::vector<int32_t>& values(int number) const { return memory_.values(number); }
    int32_t value(int number, int index = 0) const { return memory_.value(number, index); }
    int32_t permanentValue(int number, int index = 0) const {
        return memory_.permanent(number, index);
    }
    bool setValue(int number, int index, int32_t value);
    bool setValues(int number, const std::vector<int32_t>& values);
    // What a read of this id would return (a bit field as its field); empty when unknown.
    std::vector<int32_t> valuesOf(uint32_t id) const;
    const EcuVariableTable& table() const { return table_; }
    bool saveOpen() const { return memory_.saveOpen(); }

    // Misbehaviour that can change while running.
    void setRefuseWrites(bool refuse) { options_.refuseWrites = refuse; }
    // Refuses the writes of one element (index -1: of the whole variable); variable -1 ends it.
    void setRefusedElement(int variable, int index = -1) {
        options_.refusedVariable = variable;
        options_.refusedIndex = index;
    }
    void setCalibrationErrors(uint8_t bits) { options_.calibrationErrors = bits; }
    void setLiveBlockBytes(int bytes) { options_.liveBlockBytes = bytes; }
    // The next `times` SendCommand requests of this command are refused (error 8).
    void refuseCommand(uint8_t command, int times = 1) {
        refusedCommand_ = command;
        refusals_ = times;
    }
    void setProgramResult(int32_t result, int failures = -1);
    const VirtualEcuOptions& options() const { return options_; }

    std::vector<uint8_t> identity() const;
    bool sessionOpen() const { return session_; }
    bool ready(int64_t nowMs) const { return session_ && nowMs >= readyAtMs_; }
    int calibrationStep() const { return calibration_.step(); }
    bool calibrating() const { return calibration_.running(); }
    bool onGas() const { return live_.onGas(); }
    EngineModel::State engineAt(int64_t nowMs) const { return engine_.at(nowMs - startMs_); }
    std::vector<uint8_t> liveBlock(int64_t nowMs);
    int restarts() const { return restarts_; }

    // One line per request executed: the operation, then its id or arguments.
    const std::vector<std::string>& trace() const { return trace_; }
    void clearTrace() { trace_.clear(); }
    void setTraceSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
    uint64_t framesReceived() const { return frames_; }
    uint64_t repeatsAnswered() const { return repeats_; }

  private:
    struct Reply {
        ecu::Bytes payload;
        uint8_t error = 0;
    };
    struct Access {
        const EcuVariable* variable = nullptr;
        uint8_t error = 0;
    };

    ecu::Bytes handle(const ecu::Frame& frame, int64_t nowMs);
    Reply execute(const ecu::Frame& frame, int64_t nowMs);
    Reply hello(const ecu::Bytes& payload, int64_t nowMs);
    Reply readVariable(const ecu::Bytes& payload, int64_t nowMs);
    Reply writeVariable(const ecu::Bytes& payload, bool single);
    Reply readRow(const ecu::Bytes& payload);
    Reply writeRow(const ecu::Bytes& payload);
    Reply writeElement(const ecu::Bytes& payload, bool twoIndexes);
    Reply elementSize(const ecu::Bytes& payload) const;
    Reply readBlock(const ecu::Bytes& payload, int64_t nowMs);
    Reply command(const ecu::Bytes& payload, int64_t nowMs);
    Reply programStart(const ecu::Bytes& payload);
    Reply programData(const ecu::Bytes& payload);
    Reply programEnd(const ecu::Bytes& payload);

    Access whole(ecu::VariableId id) const;
    Access row(ecu::VariableId id, int row) const;
    Access element(ecu::VariableId id) const;
    uint8_t store(const EcuVariable& variable, int index, int32_t value);
    int32_t read(int number, int index, int64_t nowMs) const;
    void written(int number, int32_t before);
    void finishCalibration();
    void restart(int64_t nowMs);
    void record(const ecu::Frame& frame, const Reply& reply);
    // Answers every complete frame the parser holds; false when the ECU restarted.
    bool drain(ecu::Bytes& out, int64_t nowMs);

    VirtualEcuOptions options_;
    EcuVariableTable table_;
    EcuMemory memory_;
    EngineModel engine_;
    LiveData live_;
    CalibrationProcess calibration_;
    BootLoader boot_;
    ecu::FrameParser parser_;

    int64_t startMs_;
    int64_t followedMs_;
    int64_t silentUntilMs_ = 0;
    int64_t lastByteMs_ = 0;
    int64_t readyAtMs_ = 0;
    bool session_ = false;
    bool restartPending_ = false;
    int firmwareMajor_;
    int firmwareMinor_;
    int bootCustomer_;
    int programRuns_ = 0;
    int restarts_ = 0;
    uint8_t refusedCommand_ = 0;
    int refusals_ = 0;

    bool hasLast_ = false;
    uint8_t lastSequence_ = 0;
    uint16_t lastCrc_ = 0;
    ecu::Bytes lastReply_;

    std::vector<std::string> trace_;
    std::function<void(const std::string&)> sink_;
    uint64_t frames_ = 0;
    uint64_t repeats_ = 0;
};

}  // namespace sim
