#include "LoopbackTransport.h"

#include <algorithm>

#include "Protocol.h"

namespace sim {

LoopbackTransport::LoopbackTransport(VirtualLine& line, std::function<int64_t()> now,
                                     std::function<void(int64_t)> wait)
    : line_(line), now_(std::move(now)), wait_(std::move(wait)) {}

std::vector<std::string> LoopbackTransport::candidates(int) {
    if (adapterPulled_) return {};
    return {kPortName};
}

ecu::Transport::OpenResult LoopbackTransport::open(const std::string& name) {
    if (name != kPortName || adapterPulled_) {
        lastError_ = name + ": no such port";
        return OpenResult::Missing;
    }
    if (permissionDenied_) {
        lastError_ = "permission denied on " + name;
        return OpenResult::PermissionDenied;
    }
    open_ = true;
    lastError_.clear();
    return OpenResult::Opened;
}

bool LoopbackTransport::write(const ecu::Bytes& bytes) {
    if (!healthy()) return false;
    line_.send(bytes, now_());
    return true;
}

ecu::Bytes LoopbackTransport::receive(int timeoutMs) {
    if (!healthy()) return {};
    const int64_t now = now_();
    ecu::Bytes got = line_.take(now);
    if (!got.empty()) return got;
    const auto next = line_.nextReadyMs();
    if (next && *next <= now + timeoutMs) {
        wait_(std::max<int64_t>(0, *next - now));
        return line_.take(now_());
    }
    wait_(timeoutMs);
    return {};
}

int LoopbackTransport::baudRate() const {
    return line_.faults().speed.emulated() ? line_.faults().speed.baud() : ecu::protocol::kBaudRate;
}

}  // namespace sim
