#pragma once

#include <csignal>
#include <deque>
#include <string>

#include "LineFaults.h"
#include "VirtualEcu.h"

// The virtual ECU on the master side of a pseudo-terminal: the program opens the slave side
// as its serial port. With line-speed emulation every byte takes its wire time each way, so
// round trips last as long as on a real line.
class PtyLine {
  public:
    PtyLine(sim::VirtualEcu& ecu, sim::LineFaults& faults);
    ~PtyLine();

    bool open(std::string& error);
    const std::string& deviceName() const { return device_; }
    // pace: 0 = at once; -1 = at the baud the program set on the port; else that baud.
    void setPace(int pace) { pace_ = pace; }
    void setExitOnEof(bool exit) { exitOnEof_ = exit; }
    // Runs until stop becomes nonzero (or standard input closes, when asked).
    int run(volatile std::sig_atomic_t& stop);

  private:
    struct Timed {
        int64_t atUs;
        uint8_t byte;
    };

    int64_t nowUs() const;
    int64_t nowMs() const { return (nowUs() - startUs_) / 1000; }
    int currentBaud() const;
    void readInput(int64_t now);
    void deliverDue(int64_t now);
    void writeDue(int64_t now);
    int64_t nextEventUs(int64_t now) const;

    sim::VirtualEcu& ecu_;
    sim::LineFaults& faults_;
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
    int pace_ = 0;
    bool exitOnEof_ = false;
    int64_t startUs_ = 0;
    int64_t lastInUs_ = 0;
    int64_t lastOutUs_ = 0;
    std::deque<Timed> inbound_;
    std::deque<Timed> outbound_;
};
