#include "CalibrationProcedure.h"

#include <algorithm>

#include "Clock.h"
#include "Dialogs.h"
#include "EcuVariable.h"
#include "Language.h"
#include "TStreamDati.h"

namespace {
constexpr int kStart = 19;
constexpr int kProgress = 20;
constexpr int kClose = 18;
constexpr int kAbort = 21;
constexpr int kEveryGroup = 0x7FFFFFFF;
const QColor kLean(0, 128, 0);
const QColor kRich(255, 0, 0);

QString text(int number) { return LoadText(number).value_or(QString()); }

// Marks the procedure busy for a scope, so that ticks arriving meanwhile skip.
class BusyScope {
  public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool& busy_;
};
}  // namespace

CalibrationProcedure::Texts CalibrationProcedure::Texts::Load(int targetSpeed) {
    Texts t;
    t.linkLost = text(44);
    t.startRefused = text(453);
    t.queryFailed = text(454);
    t.waiting = text(455);
    t.targetSpeed = text(456) + u' ' + QString::number(targetSpeed) + u' ' + text(457);
    t.calibrating = text(458);
    t.checking = text(459);
    t.transferring = text(460);
    t.finished = text(461);
    t.cannotProceed = text(462);
    for (size_t i = 0; i < t.errors.size(); ++i) t.errors[i] = text(463 + static_cast<int>(i));
    t.rereadFailed = text(630);
    return t;
}

CalibrationProcedure::CalibrationProcedure(TStreamDati& data, Hooks hooks)
    : data_(data),
      texts_(Texts::Load(static_cast<int>(data.GetValue(EcuVariable::kCalibrationSpeed)))),
      hooks_(std::move(hooks)),
      readout_(data),
      reader_(data, [this] { error(texts_.linkLost); }) {}

void CalibrationProcedure::Tick() {
    if (busy_) return;
    if (reader_.Tick() != LiveDataReader::Outcome::Block) return;
    display_.live = readout_.Of(reader_.Values());
    show();
    Query();
}

std::optional<QString> CalibrationProcedure::StepText(const Texts& texts, int step) {
    if (step < 0 || step > kLastStep) return std::nullopt;
    if (step <= 1) return texts.waiting;
    if (step == 2) return texts.targetSpeed;
    if (step <= 9) return texts.calibrating;
    if (step == 10) return texts.checking;
    return texts.transferring;
}

QString CalibrationProcedure::ErrorText(const Texts& texts, uint8_t bits) {
    QString out = texts.cannotProceed;
    for (size_t i = 0; i < kErrorBits.size(); ++i)
        if (bits & kErrorBits[i]) out += texts.errors[i];
    return out;
}

int CalibrationProcedure::Progress(int step) { return std::clamp(step * 100 / kStepCount, 0, 100); }

QColor CalibrationProcedure::LambdaColour(double volts, double reference, bool inverted) {
    const bool lean = inverted ? volts > reference : volts < reference;
    return lean ? kLean : kRich;
}

void CalibrationProcedure::Start() {
    if (state_ != State::Waiting || busy_) return;
    BusyScope busy(busy_);
    uint8_t bytes[2] = {'0', '0'};
    if (!command(kStart, bytes, 0)) {
        error(texts_.startRefused);
        return;
    }
    state_ = State::Running;
    display_.progress = 0;
    display_.progressVisible = true;
    display_.promptVisible = false;
    display_.operationVisible = true;
    show();
}

void CalibrationProcedure::Query() {
    if (state_ != State::Running || busy_) return;
    BusyScope busy(busy_);
    uint8_t reply[2] = {'0', '0'};
    if (!command(kProgress, reply, 0)) {
        error(texts_.queryFailed);  // still running: the next tick asks again
        return;
    }
    if (reply[1] != 0) {
        stopOnErrors(reply[1]);
        return;
    }
    follow(static_cast<int8_t>(reply[0]));
}

void CalibrationProcedure::follow(int step) {
    if (auto instruction = StepText(texts_, step)) display_.operation = *instruction;
    if (step == kLastStep) {
        complete();
        return;
    }
    display_.progress = Progress(step);
    show();
}

void CalibrationProcedure::stopOnErrors(uint8_t errors) {
    // The reasons stay on screen above the prompt; Enter starts again.
    display_.operation = ErrorText(texts_, errors);
    state_ = State::Waiting;
    display_.progressVisible = false;
    display_.progress = 0;
    display_.promptVisible = true;
    show();
}

void CalibrationProcedure::complete() {
    display_.operation = texts_.transferring;
    display_.progress = kClosingProgress;
    show();
    uint8_t bytes[2] = {0, 0};
    command(kClose, bytes, 1);  // the ECU stores the calibration and restarts
    Clock::current().waitMs(kRestartPauseMs);
    reloadAfterRestart();
    const bool reread =
        data_.Transfer(TStreamDati::kReadEcu, QString(), 0, kEveryGroup, /*showProgress=*/false);
    if (reread) data_.Announce(StoreMoment::AfterCalibration);
    // The technician sees the bar full for the whole pause, not 95 % and then nothing.
    display_.progress = 100;
    show();
    Clock::current().waitMs(kFinishPauseMs);
    // The store must not look calibrated when it still holds the values from before.
    display_.operation = reread ? texts_.finished : texts_.rereadFailed;
    display_.progressVisible = false;
    show();
    if (!reread) error(texts_.rereadFailed);
    state_ = State::Finished;
    display_.noteVisible = true;
    display_.exitFocused = true;
    show();
}

void CalibrationProcedure::Close() {
    if (state_ != State::Running || busy_) return;
    BusyScope busy(busy_);
    uint8_t bytes[2] = {'0', '0'};
    command(kAbort, bytes, 0);  // the ECU drops the calibration and restarts
    Clock::current().waitMs(kRestartPauseMs);
    reloadAfterRestart();
    state_ = State::Waiting;
}

void CalibrationProcedure::reloadAfterRestart() {
    data_.Reconnect(TStreamDati::kReconnectMs);
    data_.SetModified(false);
}

bool CalibrationProcedure::command(int code, uint8_t (&bytes)[2], int32_t status) {
    return data_.SendCommand(code, bytes, status, 2);
}

void CalibrationProcedure::show() const {
    if (hooks_.changed) hooks_.changed();
}

void CalibrationProcedure::error(const QString& message) const {
    Dialogs::current().error(hooks_.caption ? hooks_.caption() : QString(), message);
}
