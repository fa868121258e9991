#pragma once

#include <memory>
#include <string>
#include <vector>

#include "EcuLink.h"
#include "IEcuLink.h"
#include "LoopbackTransport.h"
#include "VirtualClock.h"
#include "VirtualEcu.h"
#include "VirtualLine.h"

// The real link library code talking to a virtual ECU in-process, in the test's virtual time:
// one VirtualClock drives the link's time-outs and the ECU's boot timer, engine and
// calibration. Nothing sleeps. Hand link() to the program's link component with
// TQorConnectEcu::UseLink(&loopback.link(), [](IEcuLink*) {}): the fixture keeps ownership.
class LoopbackEcu {
  public:
    explicit LoopbackEcu(VirtualClock& clock, sim::VirtualEcuOptions options = {});
    ~LoopbackEcu();
    LoopbackEcu(const LoopbackEcu&) = delete;
    LoopbackEcu& operator=(const LoopbackEcu&) = delete;

    IEcuLink& link() { return *link_; }
    ecu::EcuLink& ecuLink() { return *link_; }
    sim::VirtualEcu& ecu() { return ecu_; }
    sim::VirtualLine& line() { return line_; }
    VirtualClock& clock() { return clock_; }
    sim::LoopbackTransport& transport() { return *transport_; }

    // Opens the link as the program does at start-up (with the component's set-up values)
    // and lets the ECU finish booting; true when variable 2 then reads 172.
    bool connect();

    // Faults of the line and of the ECU.
    void setByteFaults(double dropRate, double corruptRate);
    void setLatencyMs(int ms);
    void setLineBaud(int baud);  // 0 = bytes take no time
    void pullCableAfter(int frames);
    void pullCable();
    void plugCable();
    // The cable goes back in when the clock reaches atMs, as a technician plugging it again.
    void plugCableAt(qint64 atMs);
    void pullAdapter();  // the port fails, as a pulled USB adapter
    void plugAdapter();
    void refuseWrites(bool refuse) { ecu_.setRefuseWrites(refuse); }

    // The ECU's memory by variable id (bits 0-7 name the variable; a bit-field code reads
    // and writes its field; other bits are ignored).
    std::vector<int32_t> peek(uint32_t id) const { return ecu_.valuesOf(id); }
    int32_t peekValue(uint32_t id, int index = 0) const;
    bool poke(uint32_t id, const std::vector<int32_t>& values);
    bool pokeValue(uint32_t id, int32_t value, int index = 0);

    // The requests the ECU executed, one line each ("ReadVariable 8963", "WriteValue 1 0").
    const std::vector<std::string>& trace() const { return ecu_.trace(); }
    void clearTrace() { ecu_.clearTrace(); }
    // The trace lines that start with this operation name.
    std::vector<std::string> traced(const std::string& operation) const;

  private:
    VirtualClock& clock_;
    sim::VirtualEcu ecu_;
    sim::VirtualLine line_;
    sim::LoopbackTransport* transport_;
    std::unique_ptr<ecu::EcuLink> link_;
    // Expires with this object, so the clock's listeners know it is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
