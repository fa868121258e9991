#pragma once

#include <optional>

#include "TQorConnectEcu.h"

// Tells when a transfer met a disturbed serial line: more than kWarnAbovePercent of its
// requests had their reply asked for again. Once per connection: the technician needs to hear
// it, not at every transfer.
class DisturbedLine {
  public:
    using Counts = TQorConnectEcu::ReplyCounts;
    static constexpr int kWarnAbovePercent = 5;

    // A new connection: it may be told again.
    void Reset() { told_ = false; }
    // The share (percent) asked again between the readings before and after a transfer, when
    // it is to be told now; nothing when the line was good, the link does not count, or it
    // was told already in this connection.
    std::optional<int> Check(const std::optional<Counts>& before,
                             const std::optional<Counts>& after);

  private:
    bool told_ = false;
};
