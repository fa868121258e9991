#include "VirtualLine.h"

namespace sim {

void VirtualLine::send(const ecu::Bytes& bytes, int64_t nowMs) {
    ecu::Bytes toEcu = bytes;
    if (!faults_.pass(toEcu, ecu_.framesReceived())) return;
    const int64_t arrivedMs = nowMs + faults_.speed.microsFor(toEcu.size()) / 1000;
    queueReply(ecu_.receive(toEcu, arrivedMs), arrivedMs);
}

void VirtualLine::queueReply(ecu::Bytes reply, int64_t sentMs) {
    if (reply.empty() || !faults_.pass(reply, ecu_.framesReceived())) return;
    const int64_t readyMs =
        sentMs + faults_.latency.delayMs() + (faults_.speed.microsFor(reply.size()) + 999) / 1000;
    pending_.push_back({readyMs, std::move(reply)});
}

void VirtualLine::checkStall(int64_t nowMs) {
    const auto at = ecu_.stallCheckMs();
    if (at && *at <= nowMs) queueReply(ecu_.idle(*at), *at);
}

ecu::Bytes VirtualLine::take(int64_t nowMs) {
    checkStall(nowMs);
    ecu::Bytes out;
    while (!pending_.empty() && pending_.front().readyMs <= nowMs) {
        out.insert(out.end(), pending_.front().bytes.begin(), pending_.front().bytes.end());
        pending_.pop_front();
    }
    return out;
}

std::optional<int64_t> VirtualLine::nextReadyMs() const {
    std::optional<int64_t> next = ecu_.stallCheckMs();
    if (!pending_.empty() && (!next || pending_.front().readyMs < *next))
        next = pending_.front().readyMs;
    return next;
}

}  // namespace sim
