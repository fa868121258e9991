#pragma once

#include <functional>

#include "Transport.h"
#include "VirtualLine.h"

namespace sim {

// The link's transport onto a VirtualLine, in whatever time the two functions give: now()
// reads it, wait(ms) lets it pass (a virtual clock moves on at once).
class LoopbackTransport final : public ecu::Transport {
  public:
    static constexpr const char* kPortName = "loopback";

    LoopbackTransport(VirtualLine& line, std::function<int64_t()> now,
                      std::function<void(int64_t)> wait);

    std::vector<std::string> candidates(int portNumber) override;
    OpenResult open(const std::string& name) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool healthy() override { return open_ && !adapterPulled_; }
    bool write(const ecu::Bytes& bytes) override;
    ecu::Bytes receive(int timeoutMs) override;
    void discardInput() override { line_.discard(); }
    int baudRate() const override;
    std::string lastError() const override { return lastError_; }

    // The USB adapter itself: pulled, the port fails and cannot be opened.
    void setAdapterPulled(bool pulled) { adapterPulled_ = pulled; }
    bool adapterPulled() const { return adapterPulled_; }
    // The port answers "permission denied" on open.
    void setPermissionDenied(bool denied) { permissionDenied_ = denied; }

  private:
    VirtualLine& line_;
    std::function<int64_t()> now_;
    std::function<void(int64_t)> wait_;
    bool open_ = false;
    bool adapterPulled_ = false;
    bool permissionDenied_ = false;
    std::string lastError_;
};

}  // namespace sim
