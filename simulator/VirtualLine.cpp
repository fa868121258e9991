#include "VirtualLine.h"

namespace sim {

void VirtualLine::send(const ecu::Bytes& bytes, int64_t nowMs) {
    ecu::Bytes toEcu = bytes;
    if (!faults_.pass(toEcu, ecu_.framesReceived())) return;
    const int64_t arrivedMs = nowMs + faults_.speed.microsFor(toEcu.size()) / 1000;
    ecu::Bytes reply = ecu_.receive(toEcu, arrivedMs);
    if (reply.empty() || !faults_.pass(reply, ecu_.framesReceived())) return;
    const int64_t readyMs = arrivedMs + faults_.latency.delayMs() +
                            (faults_.speed.microsFor(reply.size()) + 999) / 1000;
    pending_.push_back({readyMs, std::move(reply)});
}

ecu::Bytes VirtualLine::take(int64_t nowMs) {
    ecu::Bytes out;
    while (!pending_.empty() && pending_.front().readyMs <= nowMs) {
        out.insert(out.end(), pending_.front().bytes.begin(), pending_.front().bytes.end());
        pending_.pop_front();
    }
    return out;
}

std::optional<int64_t> VirtualLine::nextReadyMs() const {
    if (pending_.empty()) return std::nullopt;
    return pending_.front().readyMs;
}

}  // namespace sim
