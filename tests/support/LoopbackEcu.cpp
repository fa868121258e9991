#include "LoopbackEcu.h"

#include "LinkClock.h"
#include "TQorConnectEcu.h"

namespace {
class VirtualLinkClock final : public ecu::LinkClock {
  public:
    explicit VirtualLinkClock(VirtualClock& clock) : clock_(clock) {}
    int64_t nowMs() override { return clock_.nowMs(); }

  private:
    VirtualClock& clock_;
};
}  // namespace

LoopbackEcu::LoopbackEcu(VirtualClock& clock, sim::VirtualEcuOptions options)
    : clock_(clock), ecu_(std::move(options), clock.nowMs()), line_(ecu_, ecu_.options().seed) {
    auto transport = std::make_unique<sim::LoopbackTransport>(
        line_, [&clock] { return clock.nowMs(); },
        [&clock](int64_t ms) {
            if (ms > 0) clock.advance(ms);
        });
    transport_ = transport.get();
    link_ = std::make_unique<ecu::EcuLink>(std::move(transport),
                                           std::make_unique<VirtualLinkClock>(clock));
}

LoopbackEcu::~LoopbackEcu() = default;

bool LoopbackEcu::connect() {
    TQorConnectEcu::SetUp(*link_);
    if (link_->OpenLink() == 0) return false;
    clock_.advance(ecu_.options().bootMs);
    int32_t ready = 0;
    return link_->ReadVariable(2, &ready) != 0 && ready == sim::EcuVariableTable::kReady;
}

void LoopbackEcu::setByteFaults(double dropRate, double corruptRate) {
    line_.faults().drop.setRate(dropRate);
    line_.faults().corrupt.setRate(corruptRate);
}

void LoopbackEcu::setLatencyMs(int ms) { line_.faults().latency.setDelayMs(ms); }
void LoopbackEcu::setLineBaud(int baud) { line_.faults().speed.setBaud(baud); }
void LoopbackEcu::pullCableAfter(int frames) { line_.faults().cable.pullAfter(frames); }
void LoopbackEcu::pullCable() { line_.faults().cable.pull(); }
void LoopbackEcu::plugCable() { line_.faults().cable.plug(); }
void LoopbackEcu::plugCableAt(qint64 atMs) {
    clock_.onAdvance(
        [this, alive = std::weak_ptr<bool>(alive_), atMs, done = false](qint64 nowMs) mutable {
            if (done || nowMs < atMs || alive.expired()) return;
            done = true;
            plugCable();
        });
}
void LoopbackEcu::pullAdapter() { transport_->setAdapterPulled(true); }
void LoopbackEcu::plugAdapter() { transport_->setAdapterPulled(false); }

int32_t LoopbackEcu::peekValue(uint32_t id, int index) const {
    const auto values = peek(id);
    return index >= 0 && index < static_cast<int>(values.size()) ? values[index] : 0;
}

bool LoopbackEcu::poke(uint32_t id, const std::vector<int32_t>& values) {
    const ecu::VariableId v(id);
    if (v.isBitField()) return values.size() == 1 && pokeValue(id, values[0]);
    return ecu_.setValues(v.number(), values);
}

bool LoopbackEcu::pokeValue(uint32_t id, int32_t value, int index) {
    const ecu::VariableId v(id);
    if (!v.isBitField()) return ecu_.setValue(v.number(), index, value);
    const int32_t mask = ((1 << v.fieldWidth()) - 1) << v.shift();
    const int32_t old = ecu_.value(v.number());
    return ecu_.setValue(v.number(), 0, (old & ~mask) | ((value << v.shift()) & mask));
}

std::vector<std::string> LoopbackEcu::traced(const std::string& operation) const {
    std::vector<std::string> out;
    for (const auto& line : trace())
        if (line.rfind(operation, 0) == 0 &&
            (line.size() == operation.size() || line[operation.size()] == ' '))
            out.push_back(line);
    return out;
}
