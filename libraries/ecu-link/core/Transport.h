#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Frame.h"

namespace ecu {

// The byte pipe under the link: a serial port, or a loopback to a virtual ECU in tests.
class Transport {
  public:
    enum class OpenResult { Opened, Missing, PermissionDenied, Busy, Failed };

    virtual ~Transport() = default;

    // The ports worth trying, the preferred first; portNumber 0 = the configured port.
    virtual std::vector<std::string> candidates(int portNumber) = 0;
    virtual OpenResult open(const std::string& name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Open and without error: a pulled adapter or a port error makes this false.
    virtual bool healthy() = 0;
    virtual bool write(const Bytes& bytes) = 0;
    // What has arrived, waiting at most timeoutMs for the first byte; empty on time-out.
    virtual Bytes receive(int timeoutMs) = 0;
    // Drops whatever is waiting unread.
    virtual void discardInput() = 0;
    virtual int baudRate() const = 0;
    // The text of the last failure to open, for the user.
    virtual std::string lastError() const = 0;
    // Called when the open port fails (the device went away), as soon as the transport notices,
    // idle or inside one of its own calls; transports that cannot notice that ignore it.
    virtual void setFailureHandler(std::function<void()> handler) { (void)handler; }
};

}  // namespace ecu
