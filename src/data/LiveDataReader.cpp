#include "LiveDataReader.h"

#include <QScopedValueRollback>
#include <algorithm>

#include "Clock.h"
#include "TStreamDati.h"

LiveDataReader::LiveDataReader(TStreamDati& data, LinkLostMessage showLinkLost)
    : data_(data), showLinkLost_(std::move(showLinkLost)) {}

LiveDataReader::Outcome LiveDataReader::Tick() {
    if (busy_) return Outcome::HeldBack;
    const QScopedValueRollback busy(busy_, true);
    if (data_.link().IsConnected() == 0) return Outcome::NoLink;
    data_.link().EnterPollingMode();
    if (!readBlock() && !recover()) {
        if (showLinkLost_) showLinkLost_();
        return Outcome::LinkLost;
    }
    values_ = LiveBlock::Decode(bytes_, length_, data_, values_);
    return Outcome::Block;
}

bool LiveDataReader::readBlock() {
    int32_t length = LiveBlock::kSize;
    if (data_.link().ReadBlock(LiveBlock::kNumber, bytes_.data(), &length) == 0) return false;
    // The length comes from the library: what it claims beyond the buffer was not delivered.
    length_ = std::clamp<int32_t>(length, 0, LiveBlock::kSize);
    return true;
}

// After a failed read. The read that follows a reconnection is decoded whatever it returns:
// when it fails too, the buffer still holds the last block.
bool LiveDataReader::recover() {
    IEcuLink& link = data_.link();
    if (link.Connect() != 0) {
        link.LeavePollingMode();
        readBlock();
        return true;
    }
    Clock& clock = Clock::current();
    const qint64 start = clock.nowMs();
    bool back = false;
    while (!back && clock.nowMs() - start + kRetryMs <= kRecoveryMs) {
        clock.waitMs(kRetryMs);
        if (link.Connect() != 0) {
            link.LeavePollingMode();
            readBlock();
            back = true;
        }
    }
    link.LeavePollingMode();
    return back;
}
