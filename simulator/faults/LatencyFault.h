#pragma once

namespace sim {

// The ECU takes longer to answer: every reply leaves this much later.
class LatencyFault {
  public:
    void setDelayMs(int ms) { delayMs_ = ms < 0 ? 0 : ms; }
    int delayMs() const { return delayMs_; }

  private:
    int delayMs_ = 0;
};

}  // namespace sim
